# Sourced by the scripts that run Windows programs under Wine on an X server
# (keys/e2e.sh, keys/display.sh, package/window-host-recovery.sh) once they
# have set wine=(env ... WINE-LOADER): the waits of waits.sh, and at exit the
# programs in pids ended and the prefix's own wineserver stopped, so that its
# desktop ends with this X server.
# shellcheck shell=bash
. "$(dirname "${BASH_SOURCE[0]}")/waits.sh"

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
