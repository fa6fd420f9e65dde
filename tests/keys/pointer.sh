#!/usr/bin/env bash
# halyard-keys' mouse: actions end to end, on an X server (run it under
# xvfb-run with a screen 2560 pixels wide), with the simulation build of
# Halyard.dll and halyard-sim holding and pressing keys; the pointer read
# from another process (keys-target --cursor-log):
# - a held mouse: right moves the pointer steadily between the frames 250 ms
#   apart, faster at the end than at the start, and it stops within
#   RepeatGuardMs and 50 ms of the last frame;
# - click, double click and wheel down reach the window under the pointer,
#   at the pointer; a drag holds the left button until the next click;
# - Pause while a move and a drag are on stops the pointer and lets go of
#   the button; so does the program's exit;
# - a key for a program that runs as administrator, while halyard-keys does
#   not, is not sent, and the display says so.
# Usage: pointer.sh WORKDIR HALYARD-KEYS.EXE SIM-HALYARD.DLL HALYARD-SIM.EXE KEYS-TARGET.EXE
#                   KEYS-TARGET-ADMIN.EXE -- WINE...
set -u
[ $# -ge 8 ] && [ "$7" = "--" ] ||
  { echo "usage: $0 WORKDIR KEYS SIM_DLL SIM_EXE TARGET ADMIN_TARGET -- WINE..." >&2; exit 2; }
work=$1 keys=$2 simdll=$3 sim=$4 target=$5 admin=$6
shift 7
wine=("$@")
. "$(dirname "$0")/../common/x-session.sh"

rm -rf "$work" && mkdir -p "$work/app" || exit 2
"${wine[@]}" wineboot --init >/dev/null 2>&1
"${wine[@]}" "$sim" clear >/dev/null 2>&1
"${wine[@]}" "$sim" plug >/dev/null 2>&1
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
cp "$keys" "$work/app/halyard-keys.exe" && cp "$simdll" "$work/app/Halyard.dll" || exit 2
log=$work/target.log cursor=$work/cursor.log
guard=400
cat >"$work/app/halyard.ini" <<INI
[Custom]
MaskCode=0x40BF

[Keys]
0x20 = mouse: right
0x21 = mouse: click
0x22 = mouse: wheel down
0x23 = mouse: drag
0x24 = mouse: down
0x25 = Enter
0x26 = mouse: double click

[Options]
RepeatGuardMs=$guard
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
now_ms() { date +%s%3N; }
logged() { tail -n +"$(($1 + 1))" "$log" | tr -d '\r' | grep -c "^$2\$"; }
lines() { wc -l <"$log"; }
button_down() { [ "$("${wine[@]}" "$target" --down 01 | tr -d '\r')" = 0x01 ]; }
# The pointer's position as "X Y".
position() { "${wine[@]}" "$target" --cursor-log "$work/at.log" 1 && head -n 1 "$work/at.log" | cut -d' ' -f2-; }
# Whether the pointer keeps still for a fifth of a second (stretched).
still() {
  "${wine[@]}" "$target" --cursor-log "$work/still.log" $((200 * scale)) &&
    [ "$(grep -vc '^end' "$work/still.log")" -eq 1 ]
}

# A held move, its pace and its end.
"${wine[@]}" "$target" --cursor 10 500
"${wine[@]}" "$target" --cursor-log "$cursor" $(((1500 + 2000) * scale)) &
logger=$!
sleep 0.2
"${wine[@]}" "$sim" hold 40BF 20 1500 >/dev/null || fail "halyard-sim hold 40BF 20 1500"
held_end=$(now_ms)
wait $logger
report=$(awk -v guard="$guard" -v held_end="$held_end" -v scale="$scale" '
  $1 == "end" { next }
  n == 0 { x0 = $2; t[n] = $1; x[n++] = $2; next }
  $2 != x[n - 1] { t[n] = $1; x[n++] = $2 }
  END {
    if (n < 3) { print "FAIL the pointer did not move"; exit }
    start = t[1]; last = t[n - 1]
    # The frames come a poll apart from the first one, which started the move.
    frames = int((held_end - start) / 250); last_frame = start + frames * 250
    gap = 0
    for (i = 2; i < n; i++) if (t[i] - start > 300 && t[i] - t[i - 1] > gap) gap = t[i] - t[i - 1]
    # Pixels per ms over the first and the last 300 ms of the move.
    for (i = 1; i < n; i++) { if (t[i] <= start + 300) a = i; if (t[i] <= last - 300) b = i }
    early = (x[a] - x[1]) / 300; late = (x[n - 1] - x[b]) / (last - t[b])
    printf "moved %d px in %d ms; stopped %d ms after the last frame (%d after the hold); ", \
      x[n - 1] - x0, last - start, last - last_frame, last - held_end
    printf "longest pause %d ms; %.3f px/ms at the start, %.3f at the end\n", gap, early, late
    if (scale == 1 && last - last_frame > guard + 50 + 25)
      print "FAIL the pointer went on after RepeatGuardMs and 50 ms"
    if (scale == 1 && gap > 40) print "FAIL the pointer paused between frames"
    if (late < 4 * early) print "FAIL the pointer did not speed up"
    if (x[n - 1] - x0 < 1000) print "FAIL the pointer went too short a way"
  }' "$cursor")
echo "move: $report"
case $report in *FAIL*) fail "$(echo "$report" | grep -o 'FAIL.*' | head -n 1)" ;; esac

# Clicks and the wheel at the pointer, over the target.
"${wine[@]}" "$target" --cursor 200 200
at=$(lines)
press 21
wait_for 10 bash -c "tail -n +$((at + 1)) '$log' | grep -q '^lbuttonup'" || fail "click: no button up"
[ "$(logged "$at" 'lbuttondown 200 200')" -eq 1 ] && [ "$(logged "$at" 'lbuttonup 200 200')" -eq 1 ] ||
  fail "click: not one click at 200 200: $(tail -n +$((at + 1)) "$log" | tr '\n' ' ')"
at=$(lines)
press 26
wait_for 10 bash -c "tail -n +$((at + 1)) '$log' | grep -q '^lbuttondblclk 200 200'" ||
  fail "double click: no double click at 200 200"
at=$(lines)
press 22
wait_for 10 bash -c "tail -n +$((at + 1)) '$log' | grep -q '^wheel -120'" || fail "wheel down: no WM_MOUSEWHEEL of -120"

# A drag holds the button until the next click.
at=$(lines)
press 23
wait_for 10 button_down || fail "drag: the left button is not down"
press 21
wait_for 10 bash -c "tail -n +$((at + 1)) '$log' | grep -q '^lbuttonup'" || fail "drag: the click did not drop"
button_down && fail "drag: the button stayed down after the click"

# Pause while dragging and moving: the pointer stops, the button goes up.
"${wine[@]}" "$target" --cursor 300 100
press 23
wait_for 10 button_down || fail "drag before Pause: the left button is not down"
"${wine[@]}" "$sim" hold 40BF 24 $((4000 * scale)) >/dev/null &
holder=$!
moved() { [ "$(position)" != "300 100" ]; }
wait_for 10 moved || fail "mouse: down did not move the pointer"
"${wine[@]}" "$target" --command 1 || fail "no halyard-keys window for Pause"
wait_for 10 state_is paused || fail "halyard-keys did not pause"
still || fail "the pointer moved on after Pause"
button_down && fail "the left button stayed down after Pause"
wait $holder
"${wine[@]}" "$target" --command 2 || fail "no halyard-keys window for Resume"
wait_for 10 state_is listening || fail "halyard-keys did not resume"

# Exit while dragging and moving: the same.
"${wine[@]}" "$target" --cursor 300 100
press 23
wait_for 10 button_down || fail "drag before exit: the left button is not down"
"${wine[@]}" "$sim" hold 40BF 24 $((4000 * scale)) >/dev/null &
holder=$!
wait_for 10 moved || fail "mouse: down did not move the pointer before exit"
"${wine[@]}" "$target" --close HalyardKeysWindow || fail "no halyard-keys window to close"
wait_for 15 bash -c "! kill -0 $keys_pid 2>/dev/null" || fail "halyard-keys did not exit"
still || fail "the pointer moved on after exit"
button_down && fail "the left button stayed down after exit"
wait $holder

# A program that runs as administrator in front of one that does not: the
# key is not sent, the display says so. Wine gives every program the
# elevated token, asInvoker too: halyard-keys gets the limited one from
# keys-target --limited, as Windows starts it.
"${wine[@]}" "$target" --close HalyardKeysTarget
"${wine[@]}" "$target" --limited "\"$(winpath "$work/app/halyard-keys.exe")\"" &
keys_pid=$!
pids+=($keys_pid)
wait_for 30 state_is listening || fail "halyard-keys with the limited token did not start listening"
admin_log=$work/admin.log
"${wine[@]}" "$admin" --log "$admin_log" --class AdminTarget --seconds $((120 * scale)) &
pids+=($!)
wait_for 30 grep -q ready "$admin_log" 2>/dev/null || fail "the administrator's target did not start"
grep -q 'elevated=1' "$admin_log" ||
  fail "keys-target-admin.exe did not get the elevated token: $(head -n 1 "$admin_log")"
press 25
shown() { [ "$("${wine[@]}" "$target" --text HalyardKeyDisplay | tr -d '\r')" = "$1" ]; }
wait_for 10 shown "Not sent: keys-target-admin.exe runs as administrator" ||
  fail "the display did not say the key was not sent: '$("${wine[@]}" "$target" --text HalyardKeyDisplay)'"
grep -q '^keydown 0x0D' "$admin_log" && fail "Enter was sent to a program that runs as administrator"
"${wine[@]}" "$target" --close AdminTarget
"${wine[@]}" "$target" --close HalyardKeysWindow || fail "no halyard-keys window to close"
wait_for 15 bash -c "! kill -0 $keys_pid 2>/dev/null" || fail "halyard-keys did not exit"

[ $status -eq 0 ] && echo "pointer: OK"
exit $status
