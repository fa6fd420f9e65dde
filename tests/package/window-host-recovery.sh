#!/usr/bin/env bash
# The window-host example, built from the package, keeps the remote alive by
# itself: with the package's simulation build beside it, it finds a tuner
# plugged in after it started, and reads the tuner again after a replug and
# after a resume. Run it under xvfb-run: only top-level windows hear the
# system's notices.
# Usage: window-host-recovery.sh WORKDIR UNPACKED_DIR WINDOW_HOST_EXE -- WINE...
# (UNPACKED_DIR: where scripts/check-package unpacked the ZIP)
set -u
[ $# -ge 5 ] && [ "$4" = "--" ] ||
  { echo "usage: $0 WORKDIR UNPACKED_DIR WINDOW_HOST_EXE -- WINE..." >&2; exit 2; }
work=$1 pkg=$(ls -d "$2"/Halyard-*-win* 2>/dev/null | head -n1) host=$3
[ -n "$pkg" ] || { echo "no unpacked package in $2" >&2; exit 2; }
shift 4
wine=("$@")
. "$(dirname "$0")/../common/x-session.sh"

rm -rf "$work" && mkdir -p "$work/app" || exit 2
cp "$host" "$work/app/window-host.exe" && cp "$pkg/bin/sim/Halyard.dll" "$work/app/" || exit 2
printf '[Custom]\r\nMaskCode=0\r\n' >"$work/app/halyard.ini"
sim=$pkg/bin/halyard-sim.exe
"${wine[@]}" wineboot --init >/dev/null 2>&1
reading() { "${wine[@]}" "$sim" status 2>/dev/null | tr -d '\r' | grep -q "^host reading: yes"; }

"${wine[@]}" "$sim" unplug >/dev/null || fail "halyard-sim unplug"
"${wine[@]}" "$work/app/window-host.exe" &
pids+=($!)
sleep $((2 * scale))
reading && fail "the host read an unplugged tuner"
"${wine[@]}" "$sim" plug >/dev/null || fail "halyard-sim plug"
wait_for 30 reading || fail "the host did not find the tuner plugged in after it started"

for change in "replug --gap $((300 * scale))" "resume --late $((1500 * scale))"; do
  "${wine[@]}" "$sim" $change >/dev/null || fail "halyard-sim $change"
  sleep 1.2 # past the reads of the old tuner
  wait_for 30 reading || fail "the host did not read the tuner again after $change"
done

[ $status -eq 0 ] && echo "window-host recovery: OK"
exit $status
