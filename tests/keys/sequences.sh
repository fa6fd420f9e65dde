#!/usr/bin/env bash
# halyard-keys' sequences, typed text, modes and show: end to end, on an X
# server (run it under xvfb-run), with the simulation build of Halyard.dll
# and halyard-sim pressing keys: a target window in the foreground logs the
# keys it gets with the modifiers held, and the characters.
# - Ctrl+C, wait 100, Ctrl+V arrives as C with Ctrl, then V with Ctrl; two
#   presses of a sequence with a longer wait arrive as two whole sequences;
# - type: arrives as its characters, one outside the BMP as its surrogates;
# - mode: Mouse then a key gives the mode's action, mode: off the normal
#   one, and mode: Mouse, once returns after one key;
# - Pause in the middle of a sequence leaves no key down (the system's key
#   state, read from another process) and sends nothing more;
# - show: brings a background program's window to the front, restored from
#   minimized, and starts the program when it is not running.
# Usage: sequences.sh WORKDIR HALYARD-KEYS.EXE SIM-HALYARD.DLL HALYARD-SIM.EXE KEYS-TARGET.EXE -- WINE...
set -u
[ $# -ge 7 ] && [ "$6" = "--" ] ||
  { echo "usage: $0 WORKDIR KEYS SIM_DLL SIM_EXE TARGET -- WINE..." >&2; exit 2; }
work=$1 keys=$2 simdll=$3 sim=$4 target=$5
shift 6
wine=("$@")
. "$(dirname "$0")/../common/x-session.sh"

winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }

rm -rf "$work" && mkdir -p "$work/app" || exit 2
"${wine[@]}" wineboot --init >/dev/null 2>&1
"${wine[@]}" "$sim" clear >/dev/null 2>&1
"${wine[@]}" "$sim" plug >/dev/null 2>&1
cp "$keys" "$work/app/halyard-keys.exe" && cp "$simdll" "$work/app/Halyard.dll" &&
  cp "$target" "$work/show-me.exe" || exit 2
log=$work/target.log show=$work/show.log show2=$work/show2.log
# The longer waits: two presses a poll apart fall into the first's wait,
# and Pause comes in the middle of one.
cat >"$work/app/halyard.ini" <<INI
[Custom]
MaskCode=0x40BF

[Keys]
0x12 = Ctrl+C, wait 100, Ctrl+V
0x1A = Ctrl+C, wait 700, Ctrl+V
0x13 = type: $(printf '\xc3\xbc\xc3\x9f,\xf0\x9f\x98\x80')
0x14 = mode: Mouse
0x15 = Ctrl+Shift+C, wait 5000, Ctrl+V
0x16 = mode: Mouse, once
0x17 = Enter
0x18 = show: show-me.exe
0x19 = show: "$(winpath "$work/show-me.exe")" --log "$(winpath "$show2")" --watch --class ShowMeTarget

[Mode:Mouse]
0x17 = Tab
0x14 = mode: off

[Options]
; Every frame a press of its own.
RepeatGuardMs=0
INI

"${wine[@]}" "$target" --log "$log" --seconds $((240 * scale)) &
pids+=($!)
wait_for 30 grep -q ready "$log" 2>/dev/null || { fail "the target window did not start"; exit 1; }
"${wine[@]}" "$work/app/halyard-keys.exe" &
keys_pid=$!
pids+=($keys_pid)
state_is() { [ "$("${wine[@]}" "$target" --keys-state 2>/dev/null | tr -d '\r')" = "$1" ]; }
wait_for 30 state_is listening || { fail "halyard-keys did not start listening"; exit 1; }

press() { "${wine[@]}" "$sim" press 40BF "$1" >/dev/null || fail "halyard-sim press 40BF $1"; }
count() { grep -c "$1" "$log"; }
# The keydowns since line $1 of the log, as "43c 56c" (c: with Ctrl).
downs() {
  tail -n +"$(($1 + 1))" "$log" | awk '/^keydown/ && $2 != "0x11" && $2 != "0x10" {
    k = substr($2, 3); if ($3 == "ctrl=1") k = k "c"; printf "%s%s", sep, k; sep = " " }'
}
lines() { wc -l <"$log"; }

# A sequence, in order.
at=$(lines)
press 12
wait_for 20 bash -c "grep -q '^keydown 0x56 ctrl=1' '$log'" || fail "Ctrl+C, wait 100, Ctrl+V: no Ctrl+V"
[ "$(downs "$at")" = "43c 56c" ] || fail "Ctrl+C, wait 100, Ctrl+V: got '$(downs "$at")'"

# Two presses a poll apart, the second during the first's wait: two whole
# sequences, not interleaved.
at=$(lines)
press 1A; press 1A
wait_for 20 bash -c "[ \$(tail -n +$((at + 1)) '$log' | grep -c '^keydown 0x56 ctrl=1') -ge 2 ]" ||
  fail "two presses of a sequence: not two Ctrl+V"
[ "$(downs "$at")" = "43c 56c 43c 56c" ] || fail "two presses of a sequence: got '$(downs "$at")'"

# Text, whatever the layout.
at=$(lines)
press 13
wait_for 20 bash -c "tail -n +$((at + 1)) '$log' | grep -q '^char 0xDE00'" || fail "type: its last character did not arrive"
chars=$(tail -n +$((at + 1)) "$log" | tr -d '\r' | sed -n 's/^char //p' | tr '\n' ' ')
[ "$chars" = "0xFC 0xDF 0x2C 0xD83D 0xDE00 " ] || fail "type: want 0xFC 0xDF 0x2C 0xD83D 0xDE00, got '$chars'"

# Modes: the mode's section first; off; once for one key.
at=$(lines)
for key in 17 14 17 14 17 16 17 17; do
  press $key
done
wait_for 20 bash -c "[ \$(tail -n +$((at + 1)) '$log' | grep -c '^keydown 0x\\(0D\\|09\\) ') -ge 5 ]" ||
  fail "modes: not five keys"
[ "$(downs "$at")" = "0D 09 0D 09 0D" ] || fail "modes: want Enter Tab Enter Tab Enter, got '$(downs "$at")'"

# Pause in the middle of a sequence: nothing more, no key left down.
at=$(lines)
press 15
wait_for 20 bash -c "tail -n +$((at + 1)) '$log' | grep -q '^keydown 0x43 ctrl=1 shift=1'" ||
  fail "Ctrl+Shift+C did not arrive"
"${wine[@]}" "$target" --command 1 || fail "no halyard-keys window for Pause"
wait_for 10 state_is paused || fail "halyard-keys did not pause"
down=$("${wine[@]}" "$target" --down 11 10 43 56 | tr -d '\r')
[ "$down" = none ] || fail "keys left down after Pause: $down"
sleep 6 # the rest of the sequence's wait, and more
[ "$(tail -n +$((at + 1)) "$log" | grep -c '^keydown 0x56')" -eq 0 ] || fail "Ctrl+V sent after Pause"
"${wine[@]}" "$target" --command 2 || fail "no halyard-keys window for Resume"
wait_for 10 state_is listening || fail "halyard-keys did not resume"

# show: a background program to the front, and out of its minimized state.
"${wine[@]}" "$work/show-me.exe" --log "$show" --watch --class ShowMeTarget --seconds $((120 * scale)) &
pids+=($!)
wait_for 30 grep -q ready "$show" 2>/dev/null || fail "show-me did not start"
# The target takes the foreground back within a fifth of a second.
wait_for 10 grep -q 'foreground=0' "$show" || fail "show-me kept the foreground"
before=$(grep -c 'foreground=1' "$show")
press 18
wait_for 10 bash -c "[ \$(grep -c 'foreground=1' '$show') -gt $before ]" ||
  fail "show: show-me.exe did not bring its window to the front"
"${wine[@]}" "$target" --minimize ShowMeTarget
wait_for 10 "${wine[@]}" "$target" --iconic ShowMeTarget || fail "show-me did not minimize"
press 18
not_iconic() { ! "${wine[@]}" "$target" --iconic ShowMeTarget; }
wait_for 10 not_iconic || fail "show: show-me.exe stayed minimized"
"${wine[@]}" "$target" --close ShowMeTarget
gone() { ! "${wine[@]}" "$target" --exists ShowMeTarget; }
wait_for 10 gone || fail "show-me did not close"
# Not running: started with the command line.
press 19
wait_for 30 grep -q ready "$show2" 2>/dev/null || fail "show: did not start the program that was not running"
"${wine[@]}" "$target" --close ShowMeTarget

echo "--- target log"; cat "$log"; echo "--- show-me's"; cat "$show" 2>/dev/null; echo "---"
"${wine[@]}" "$target" --close HalyardKeysWindow || fail "no halyard-keys window to close"
wait_for 15 bash -c "! kill -0 $keys_pid 2>/dev/null" || fail "halyard-keys did not exit"
"${wine[@]}" "$target" --close HalyardKeysTarget >/dev/null 2>&1
[ $status -eq 0 ] && echo "sequences: OK"
exit $status
