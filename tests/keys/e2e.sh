#!/usr/bin/env bash
# halyard-keys end to end, on an X server (run it under xvfb-run): a target
# window in the foreground, halyard-keys with the simulation build of
# Halyard.dll beside it and a key map, and halyard-sim pressing remote keys.
# The target must receive the mapped keystrokes with their modifiers, a held
# key once unless it repeats, a long press its long action alone, a key of the
# target's own section in place of [Keys]'s, and a run: entry must start its
# program. halyard-keys starts before the tuner is plugged in, and must find
# it, and find it again after a replug and a resume, by itself.
# Last, keys are mapped through the Map a key dialog alone, to a keystroke, a
# sequence and a mode (a mode the file has no section for is refused): the
# settings file gains those lines and nothing else changes, the file's map
# reads them back without a bad line, and the keys' next presses send the new
# keystrokes.
# Usage: e2e.sh WORKDIR HALYARD-KEYS.EXE SIM-HALYARD.DLL HALYARD-SIM.EXE KEYS-TARGET.EXE MAP-KEY-DRIVER.EXE -- WINE...
set -u
[ $# -ge 8 ] && [ "$7" = "--" ] ||
  { echo "usage: $0 WORKDIR KEYS SIM_DLL SIM_EXE TARGET DRIVER -- WINE..." >&2; exit 2; }
work=$1 keys=$2 simdll=$3 sim=$4 target=$5 driver=$6
shift 7
wine=("$@")
. "$(dirname "$0")/../common/x-session.sh"

winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }

rm -rf "$work" && mkdir -p "$work/app" || exit 2
# The prefix is made on the first run (a minute or more when emulated).
"${wine[@]}" wineboot --init >/dev/null 2>&1
"${wine[@]}" "$sim" clear >/dev/null 2>&1 # frames left by an earlier run
cp "$keys" "$work/app/halyard-keys.exe" && cp "$simdll" "$work/app/Halyard.dll" || exit 2
log=$work/target.log
ran=$work/ran.txt
cat >"$work/app/halyard.ini" <<INI
[Custom]
MaskCode=0x40BF

[Keys]
0x12 = Enter
0x1C = Ctrl+Shift+P
0x0D = VK_MEDIA_PLAY_PAUSE
0x20 = Up, repeat
0x21 = Down
0x05 = run: "$(winpath "$target")" --touch "$(winpath "$work")\\ran.txt"
0x22 = End
0x23 = F5
0x30 = F2, long: F3

[Keys:KEYS-TARGET.exe]
0x22 = Home
0x23 = nothing

[Mode:Browse]
0x1E = Tab

[Options]
; Frames one poll apart must count as held, also on a slow emulated run.
RepeatGuardMs=$((400 * scale > 10000 ? 10000 : 400 * scale))
; Each frame of a repeating key acts from the second one on.
RepeatDelayMs=0
LongPressMs=$((800 * scale > 10000 ? 10000 : 800 * scale))
; Each key's action on the screen too: the keystrokes must still arrive.
ShowKeys=1
INI

"${wine[@]}" "$target" --log "$log" --seconds $((120 * scale)) &
pids+=($!)
wait_for 30 grep -q ready "$log" 2>/dev/null || { fail "the target window did not start"; exit 1; }

# Started before the tuner is plugged in, as at sign-in with the box off:
# halyard-keys waits, and finds the tuner when it comes.
"${wine[@]}" "$sim" unplug >/dev/null || fail "halyard-sim unplug"
"${wine[@]}" "$work/app/halyard-keys.exe" &
keys_pid=$!
pids+=($keys_pid)
reading() { "${wine[@]}" "$sim" status 2>/dev/null | grep -q "host reading: yes"; }
sleep $((1 * scale)).5
reading && fail "halyard-keys read an unplugged tuner"
"${wine[@]}" "$sim" plug >/dev/null || fail "halyard-sim plug"
wait_for 30 reading || { fail "halyard-keys never read the simulated tuner once plugged in"; exit 1; }

press() { "${wine[@]}" "$sim" press 40BF "$1" >/dev/null || fail "halyard-sim press 40BF $1"; }
press 12
# The display shows for a second, less than a program takes to start in the
# emulated guest: its window, made by the first key shown, is what is checked
# here (keys_display checks the showing).
wait_for 10 "${wine[@]}" "$target" --exists HalyardKeyDisplay || fail "ShowKeys=1 showed nothing"
press 1C
press 0D
# Three frames of a held key each, one poll apart: Up repeats, Down does not.
# Queued at once, so that a slow start of a program between two presses
# cannot part them into separate presses.
printf '0 40BF 20\n0 40BF 20\n0 40BF 20\n0 40BF 21\n0 40BF 21\n0 40BF 21\n' >"$work/held.txt"
"${wine[@]}" "$sim" play "$(winpath "$work/held.txt")" >/dev/null || fail "halyard-sim play held.txt"
press 05
# A key of another remote is not ours.
"${wine[@]}" "$sim" press 1234 12 >/dev/null

wait_for 20 test -e "$ran" || fail "the run: entry did not start its program"
wait_for 20 bash -c "[ \$(grep -c 'keydown 0x28' '$log') -ge 1 ]" || fail "no Down arrived"

# The target's own section wins; nothing there turns F5 off for it.
press 22
press 23
# A tap of a key with a long action sends its short action on release; held
# past LongPressMs, the long action alone.
press 30
wait_for 20 bash -c "grep -q 'keydown 0x71' '$log'" || fail "a tap did not send the short action F2"
"${wine[@]}" "$sim" hold 40BF 30 $((2500 * scale)) >/dev/null || fail "halyard-sim hold"
wait_for 20 bash -c "grep -q 'keydown 0x72' '$log'" || fail "a long press did not send F3"

# The tuner goes and comes back: halyard-keys restarts the library by itself.
for change in "replug --gap $((300 * scale))" "resume --late $((1500 * scale))"; do
  "${wine[@]}" "$sim" $change >/dev/null || fail "halyard-sim $change"
  sleep 1
  wait_for 30 reading || fail "halyard-keys did not read the tuner again after $change"
  before=$(grep -c '^keydown 0x0D ' "$log")
  press 12
  wait_for 20 bash -c "[ \$(grep -c '^keydown 0x0D ' '$log') -gt $before ]" ||
    fail "no Enter after $change"
done
# Map a key... from a second start with --map-key; the remote key chosen by
# pressing it; Save. Keys are held back while the dialog is open.
cp "$work/app/halyard.ini" "$work/before.ini"
"${wine[@]}" "$work/app/halyard-keys.exe" --map-key || fail "halyard-keys --map-key"
"${wine[@]}" "$driver" --wait || fail "the Map a key dialog did not open"
enters=$(grep -c '^keydown 0x0D ' "$log")
press 12 # held back, and chosen, until the next key
press 33
"${wine[@]}" "$driver" "0x33 (51)" "Ctrl+Shift+K" >"$work/driver.out" 2>&1 ||
  fail "the dialog did not save: $(tr -d '\r' <"$work/driver.out")"
press 34
"${wine[@]}" "$driver" "0x34 (52)" --sequence "ctrl+c, wait 100 ,ctrl+v" >"$work/driver.out" 2>&1 ||
  fail "the dialog did not save the sequence: $(tr -d '\r' <"$work/driver.out")"
press 35
"${wine[@]}" "$driver" "0x35 (53)" --mode Mouse >"$work/driver.out" 2>&1 &&
  fail "the dialog saved a mode the file has no section for"
grep -q 'has no \[Mode:Mouse\] section' "$work/driver.out" ||
  fail "the refused mode was not explained: $(tr -d '\r' <"$work/driver.out")"
"${wine[@]}" "$driver" "0x35 (53)" --mode Browse --once >"$work/driver.out" 2>&1 ||
  fail "the dialog did not save the mode: $(tr -d '\r' <"$work/driver.out")"
"${wine[@]}" "$driver" --close || fail "the dialog did not close"
[ "$(grep -c '^keydown 0x0D ' "$log")" -eq "$enters" ] || fail "a key was typed while the dialog was open"
changes=$(diff "$work/before.ini" "$work/app/halyard.ini" | grep '^[<>]')
[ "$changes" = "$(printf '> 0x33 = Ctrl+Shift+K\n> 0x34 = Ctrl+C, wait 100, Ctrl+V\n> 0x35 = mode: Browse, once')" ] ||
  fail "saving changed more than its lines: $(diff "$work/before.ini" "$work/app/halyard.ini")"
# The saved file, read by the map's parser: the three lines as saved, no bad line.
"${wine[@]}" "$work/app/halyard-keys.exe" --check "$(winpath "$work/app/halyard.ini")" \
  >"$work/check.out" 2>&1 || fail "--check found bad lines: $(tr -d '\r' <"$work/check.out")"
for line in '0x34 (52) *Ctrl+C, wait 100, Ctrl+V' '0x35 (53) *mode: Browse, once'; do
  grep -q "$line" "$work/check.out" || fail "--check does not read '$line': $(tr -d '\r' <"$work/check.out")"
done
press 33
wait_for 20 grep -q '^keydown 0x4B ctrl=1 shift=1' "$log" || fail "the key mapped in the dialog did not send Ctrl+Shift+K"
press 34
wait_for 20 grep -q '^keydown 0x56 ctrl=1' "$log" || fail "the sequence mapped in the dialog did not send Ctrl+V"
grep -q '^keydown 0x43 ctrl=1' "$log" || fail "the sequence mapped in the dialog did not send Ctrl+C first"

sleep $((2 * scale)) # late extra keys would show now

echo "--- target log"; cat "$log"; echo "---"
count() { grep -c "$1" "$log"; }
[ "$(count '^keydown 0x0D ctrl=0 shift=0 alt=0')" -eq 3 ] || fail "Enter: want three WM_KEYDOWN 0x0D without modifiers (before, after the replug, after the resume)"
grep -q '^keydown 0x11 ctrl=1' "$log" || fail "Ctrl was not pressed"
grep -q '^keydown 0x10 ctrl=1 shift=1' "$log" || fail "Shift was not pressed after Ctrl"
[ "$(count '^keydown 0x50 ctrl=1 shift=1 alt=0')" -eq 1 ] || fail "Ctrl+Shift+P: want one WM_KEYDOWN 0x50 with Ctrl and Shift held"
grep -q '^keyup 0x50' "$log" && grep -q '^keyup 0x11' "$log" || fail "Ctrl+Shift+P was not released"
grep -q '^appcommand 14' "$log" || fail "VK_MEDIA_PLAY_PAUSE did not arrive as WM_APPCOMMAND 14"
[ "$(count '^keydown 0x26 ')" -eq 3 ] || fail "Up (repeat): want 3 key presses, got $(count '^keydown 0x26 ')"
[ "$(count '^keydown 0x28 ')" -eq 1 ] || fail "Down (held): want 1 key press, got $(count '^keydown 0x28 ')"
[ "$(count '^keydown 0x24 ')" -eq 1 ] || fail "[Keys:KEYS-TARGET.exe] 0x22: want one Home"
[ "$(count '^keydown 0x23 ')" -eq 0 ] || fail "[Keys] 0x22 (End) sent where the target's section maps the key"
[ "$(count '^keydown 0x74 ')" -eq 0 ] || fail "F5 sent where the target's section maps the key to nothing"
[ "$(count '^keydown 0x71 ')" -eq 1 ] || fail "F2 (short action): want 1, got $(count '^keydown 0x71 ')"
[ "$(count '^keydown 0x72 ')" -eq 1 ] || fail "F3 (long action): want 1, got $(count '^keydown 0x72 ')"
[ "$(count '^keydown 0x4B ')" -eq 1 ] || fail "Ctrl+Shift+K (mapped in the dialog): want 1, got $(count '^keydown 0x4B ')"
[ "$(count '^keydown 0x43 ')" -eq 1 ] && [ "$(count '^keydown 0x56 ')" -eq 1 ] ||
  fail "Ctrl+C, wait 100, Ctrl+V (mapped in the dialog): want one C and one V"

# A second start makes the first show its menu, leaves it running and ends.
"${wine[@]}" "$work/app/halyard-keys.exe"
[ $? -eq 0 ] || fail "a second halyard-keys did not end with 0"
sleep 1
kill -0 "$keys_pid" 2>/dev/null || fail "the first halyard-keys ended when the second started"

"${wine[@]}" "$target" --close HalyardKeysWindow || fail "no halyard-keys window to close"
wait_for 15 bash -c "! kill -0 $keys_pid 2>/dev/null" || fail "halyard-keys did not exit on WM_CLOSE"
wait "$keys_pid"; code=$?
[ "$code" -eq 0 ] || fail "halyard-keys exited with $code"
"${wine[@]}" "$target" --close HalyardKeysTarget >/dev/null 2>&1

[ $status -eq 0 ] && echo "e2e: OK"
exit $status
