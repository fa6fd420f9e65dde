# Sourced by the scripts that run Windows programs under Wine on an X server
# (keys/e2e.sh, keys/display.sh, package/window-host-recovery.sh) once they
# have set wine=(env ... WINE-LOADER): waits that stretch with
# HALYARD_TIME_SCALE on slow (emulated) runs, failures counted in status, and
# at exit the programs in pids ended and the prefix's own wineserver stopped,
# so that its desktop ends with this X server.
# shellcheck shell=bash
scale=${HALYARD_TIME_SCALE:-1}
scale=${scale%%.*}
[ "${scale:-0}" -ge 1 ] 2>/dev/null || scale=1

# wait_for SECONDS COMMAND...: true once the command succeeds, false when the
# (stretched) time is up. Bounded by the clock, not by a count of tries: a
# try that starts a Windows program takes seconds in the emulated guest.
wait_for() {
  local end=$((SECONDS + $1 * scale)); shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}
fail() { echo "FAIL: $*" >&2; status=1; }

status=0
pids=()
loader=$(command -v "${wine[-1]}")
server=
for s in "$(dirname "$loader")/wineserver" /usr/lib/wine/wineserver "$(command -v wineserver)"; do
  [ -x "$s" ] && { server=$s; break; }
done
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  [ -n "$server" ] && "${wine[@]:0:${#wine[@]}-1}" "$server" -k 2>/dev/null
}
trap cleanup EXIT
