# Sourced by the test scripts that run Windows programs under Wine: waits
# that stretch with HALYARD_TIME_SCALE on slow (emulated) runs, and failures
# counted in status.
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
