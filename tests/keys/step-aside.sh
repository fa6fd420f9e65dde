#!/usr/bin/env bash
# halyard-keys steps aside for a program that reads the tuner itself, on an
# X server (run it under xvfb-run), from the unpacked package with its
# simulation build: a host that knows nothing of halyard-keys gets every key
# while it runs, and none reaches the window in front as a keystroke; once
# it ends, halyard-keys reads again by itself. halyard-monitor counts as such
# a host. With StepAside=0 halyard-keys reads beside the host, as it did
# before, and halyard-monitor started then names them both.
# Usage: step-aside.sh WORKDIR UNPACKED_DIR KEYS-TARGET.EXE HOST.EXE -- WINE...
# (HOST.EXE: tests/sim/WindowHost.cpp, a plain host of the DLL it is given)
# With HALYARD_KEYS_PACKAGE naming another unpacked package's folder,
# halyard-keys comes from that one: the x64 halyard-keys beside the 32-bit
# host and halyard-monitor of UNPACKED_DIR. Exits 77 when that folder holds
# no package.
set -u
[ $# -ge 6 ] && [ "$5" = "--" ] ||
  { echo "usage: $0 WORKDIR UNPACKED_DIR KEYS-TARGET HOST -- WINE..." >&2; exit 2; }
work=$1 pkg=$(ls -d "$2"/Halyard-*-win* 2>/dev/null | head -n1) target=$3 host=$4
[ -n "$pkg" ] || { echo "no unpacked package in $2" >&2; exit 2; }
keys_pkg=$pkg
if [ -n "${HALYARD_KEYS_PACKAGE:-}" ]; then
  keys_pkg=$(ls -d "$HALYARD_KEYS_PACKAGE"/Halyard-*-win* 2>/dev/null | head -n1)
  [ -n "$keys_pkg" ] || { echo "SKIP: no unpacked package in $HALYARD_KEYS_PACKAGE (build it first)"; exit 77; }
  echo "halyard-keys from $keys_pkg"
fi
shift 5
wine=("$@")
. "$(dirname "$0")/../common/x-session.sh"

winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }

rm -rf "$work" && mkdir -p "$work/app" "$work/host" || exit 2
cp "$keys_pkg/bin/halyard-keys.exe" "$keys_pkg/bin/sim/Halyard.dll" "$work/app/" &&
  cp "$pkg/bin/halyard-monitor.exe" "$pkg/bin/sim/Halyard.dll" "$work/host/" || exit 2
sim=$pkg/bin/halyard-sim.exe
ini=$work/app/halyard.ini
# F2 for the remote's 0x12; every frame a new press, so that a count of
# keystrokes is a count of frames read.
printf '[Custom]\r\nMaskCode=0x40BF\r\n[Keys]\r\n0x12 = F2\r\n[Options]\r\nRepeatGuardMs=0\r\n' >"$ini"
printf '[Custom]\r\nMaskCode=0x40BF\r\n' >"$work/host/host.ini"
"${wine[@]}" wineboot --init >/dev/null 2>&1
"${wine[@]}" "$sim" clear >/dev/null 2>&1

log=$work/target.log
"${wine[@]}" "$target" --log "$log" --seconds $((240 * scale)) &
pids+=($!)
wait_for 30 grep -q ready "$log" 2>/dev/null || { fail "the target window did not start"; exit 1; }

state_is() { [ "$("${wine[@]}" "$target" --keys-state 2>/dev/null | tr -d '\r')" = "$1" ]; }
f2s() { grep -c '^keydown 0x71 ' "$log"; }
press() { "${wine[@]}" "$sim" press 40BF 12 >/dev/null || fail "halyard-sim press 40BF 12"; }
start_keys() {
  "${wine[@]}" "$work/app/halyard-keys.exe" &
  keys_pid=$!
  pids+=($keys_pid)
  wait_for 30 state_is listening || { fail "halyard-keys did not start listening ($1)"; exit 1; }
}
stop_keys() {
  "${wine[@]}" "$target" --close HalyardKeysWindow || fail "no halyard-keys window to close"
  wait_for 15 bash -c "! kill -0 $keys_pid 2>/dev/null" || fail "halyard-keys did not exit"
}
# start_host NAME: the plain host, reading until $work/NAME.stop exists.
start_host() {
  rm -f "$work/$1.stop"
  "${wine[@]}" "$host" "$(winpath "$work/host/Halyard.dll")" "$(winpath "$work/host/host.ini")" \
    "$(winpath "$work/$1.stop")" $((120 * scale)) >"$work/$1.log" 2>&1 &
  host_pid=$!
  pids+=($host_pid)
  wait_for 30 grep -q '^init 0x00000000' "$work/$1.log" 2>/dev/null || { fail "the host did not start ($1)"; exit 1; }
}
stop_host() {
  touch "$work/$1.stop"
  wait_for 30 bash -c "! kill -0 $host_pid 2>/dev/null" || fail "the host did not end ($1)"
}
host_keys() { grep -c '^key 0x12' "$work/$1.log"; }

start_keys "first start"
press
wait_for 20 bash -c "[ \$(grep -c '^keydown 0x71 ' '$log') -ge 1 ]" || fail "halyard-keys sent no F2 before the host came"

# An unaware host starts: halyard-keys stands aside, and the host gets every key.
presses=6
start_host aware
wait_for 10 state_is aside || fail "halyard-keys did not step aside for the host"
before=$(f2s)
for _ in $(seq $presses); do press; done
wait_for 20 bash -c "[ \$(grep -c '^key 0x12' '$work/aware.log') -ge $presses ]" ||
  fail "the host got $(host_keys aware) of $presses keys while halyard-keys stood aside"
sleep 1
[ "$(f2s)" -eq "$before" ] || fail "$(( $(f2s) - before )) keystrokes reached the window in front while the host read"

# The host ends: the next key is halyard-keys' again, with nothing clicked.
stop_host aware
wait_for 3 state_is listening || fail "halyard-keys did not read again within 3 s of the host's end"
before=$(f2s)
press
wait_for 20 bash -c "[ \$(grep -c '^keydown 0x71 ' '$log') -gt $before ]" || fail "no F2 after the host ended"

# start_monitor NAME: halyard-monitor, reading the tuner for a minute.
start_monitor() {
  "${wine[@]}" "$work/host/halyard-monitor.exe" --ini "$(winpath "$work/host/host.ini")" \
    --dll "$(winpath "$work/host/Halyard.dll")" --duration $((60 * scale)) >"$work/$1.log" 2>&1 &
  monitor_pid=$!
  pids+=($monitor_pid)
  wait_for 30 grep -q '^Listening to' "$work/$1.log" 2>/dev/null || fail "halyard-monitor did not start ($1)"
}

# halyard-monitor reads the tuner too: it gets every key.
start_monitor monitor
wait_for 10 state_is aside || fail "halyard-keys did not step aside for halyard-monitor"
before=$(f2s)
for _ in $(seq $presses); do press; done
wait_for 20 bash -c "[ \$(grep -c 'key 0x12' '$work/monitor.log') -ge $presses ]" ||
  fail "halyard-monitor got $(grep -c 'key 0x12' "$work/monitor.log") of $presses keys"
[ "$(f2s)" -eq "$before" ] || fail "keystrokes reached the window in front while halyard-monitor read"
kill "$monitor_pid" 2>/dev/null
wait_for 20 state_is listening || fail "halyard-keys did not read again after halyard-monitor"

# StepAside=0: halyard-keys reads on beside the host; each frame goes to one
# of the two.
stop_keys
printf 'StepAside=0\r\n' >>"$ini"
start_keys "StepAside=0"
start_host shared
sleep 2
state_is listening || fail "halyard-keys stepped aside with StepAside=0"
before=$(f2s)
for _ in $(seq $presses); do press; done
wait_for 20 bash -c "[ \$(( \$(grep -c '^key 0x12' '$work/shared.log') + \$(grep -c '^keydown 0x71 ' '$log') - $before )) -ge $presses ]" ||
  fail "with StepAside=0, the host and halyard-keys together got fewer than $presses keys"
echo "StepAside=0: the host got $(host_keys shared), halyard-keys $(( $(f2s) - before )) of $presses keys"
# halyard-monitor, started among two readers, names both, and says when one
# goes. A 32-bit program cannot read a 64-bit one's modules: beside another
# package's halyard-keys, it names the host alone.
start_monitor shared-monitor
readers="halyard-keys.exe sim-window-host.exe"
[ "$keys_pkg" = "$pkg" ] || readers=sim-window-host.exe
for reader in $readers; do
  wait_for 10 grep -q "^Warning: $reader (process [0-9]*) reads the tuner too" "$work/shared-monitor.log" ||
    fail "halyard-monitor did not say that $reader read the tuner"
done
stop_host shared
wait_for 10 grep -q '^sim-window-host.exe (process [0-9]*) no longer reads the tuner' "$work/shared-monitor.log" ||
  fail "halyard-monitor did not say that the host stopped reading"
kill "$monitor_pid" 2>/dev/null
stop_keys
"${wine[@]}" "$target" --close HalyardKeysTarget >/dev/null 2>&1

echo "--- halyard-monitor among two readers"; tr -d '\r' <"$work/shared-monitor.log" | head -20
[ $status -eq 0 ] && echo "step aside: OK"
exit $status
