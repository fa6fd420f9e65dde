#!/usr/bin/env bash
# halyard-keys end to end, on an X server (run it under xvfb-run): a target
# window in the foreground, halyard-keys with the simulation build of
# Halyard.dll beside it and a key map, and halyard-sim pressing remote keys.
# The target must receive the mapped keystrokes with their modifiers, a held
# key once unless it repeats, and a run: entry must start its program.
# Usage: e2e.sh WORKDIR HALYARD-KEYS.EXE SIM-HALYARD.DLL HALYARD-SIM.EXE KEYS-TARGET.EXE -- WINE...
set -u
[ $# -ge 7 ] && [ "$6" = "--" ] ||
  { echo "usage: $0 WORKDIR KEYS SIM_DLL SIM_EXE TARGET -- WINE..." >&2; exit 2; }
work=$1 keys=$2 simdll=$3 sim=$4 target=$5
shift 6
wine=("$@")
. "$(dirname "$0")/x-session.sh"

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

[Options]
; Frames one poll apart must count as held, also on a slow emulated run.
RepeatGuardMs=$((400 * scale > 10000 ? 10000 : 400 * scale))
INI

"${wine[@]}" "$target" --log "$log" --seconds $((120 * scale)) &
pids+=($!)
wait_for 30 grep -q ready "$log" 2>/dev/null || { fail "the target window did not start"; exit 1; }

"${wine[@]}" "$work/app/halyard-keys.exe" &
keys_pid=$!
pids+=($keys_pid)
reading() { "${wine[@]}" "$sim" status 2>/dev/null | grep -q "host reading: yes"; }
wait_for 30 reading || { fail "halyard-keys never read the simulated tuner"; exit 1; }

press() { "${wine[@]}" "$sim" press 40BF "$1" >/dev/null || fail "halyard-sim press 40BF $1"; }
press 12
press 1C
press 0D
# Three frames of a held key each, one poll apart: Up repeats, Down does not.
press 20; press 20; press 20
press 21; press 21; press 21
press 05
# A key of another remote is not ours.
"${wine[@]}" "$sim" press 1234 12 >/dev/null

wait_for 20 test -e "$ran" || fail "the run: entry did not start its program"
wait_for 20 bash -c "[ \$(grep -c 'keydown 0x28' '$log') -ge 1 ]" || fail "no Down arrived"
sleep $((2 * scale)) # late extra keys would show now

echo "--- target log"; cat "$log"; echo "---"
count() { grep -c "$1" "$log"; }
[ "$(count '^keydown 0x0D ctrl=0 shift=0 alt=0')" -eq 1 ] || fail "Enter: want one WM_KEYDOWN 0x0D without modifiers"
grep -q '^keydown 0x11 ctrl=1' "$log" || fail "Ctrl was not pressed"
grep -q '^keydown 0x10 ctrl=1 shift=1' "$log" || fail "Shift was not pressed after Ctrl"
[ "$(count '^keydown 0x50 ctrl=1 shift=1 alt=0')" -eq 1 ] || fail "Ctrl+Shift+P: want one WM_KEYDOWN 0x50 with Ctrl and Shift held"
grep -q '^keyup 0x50' "$log" && grep -q '^keyup 0x11' "$log" || fail "Ctrl+Shift+P was not released"
grep -q '^appcommand 14' "$log" || fail "VK_MEDIA_PLAY_PAUSE did not arrive as WM_APPCOMMAND 14"
[ "$(count '^keydown 0x26 ')" -eq 3 ] || fail "Up (repeat): want 3 key presses, got $(count '^keydown 0x26 ')"
[ "$(count '^keydown 0x28 ')" -eq 1 ] || fail "Down (held): want 1 key press, got $(count '^keydown 0x28 ')"

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
