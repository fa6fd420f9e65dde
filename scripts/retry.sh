# Sourced by the scripts that download packages. retry WHAT COMMAND [ARGS...]
# runs COMMAND (a program or a shell function) until it succeeds, at most
# HALYARD_RETRIES times (default 4), pausing 15, 45, then 90 seconds between
# tries: a Debian mirror in the middle of a sync answers "File has unexpected
# size" for a minute or two, then recovers. Prints which try worked, and
# returns the last try's code.
# shellcheck shell=bash
retry() {
  local what=$1 tries=${HALYARD_RETRIES:-4} try status pause
  shift
  local pauses=(15 45 90)
  for ((try = 1; ; try++)); do
    status=0
    "$@" || status=$?
    if [ "$status" -eq 0 ]; then
      echo "$what: worked on try $try of $tries" >&2
      return 0
    fi
    if [ "$try" -ge "$tries" ]; then
      echo "$what: failed $try times (exit code $status)" >&2
      return "$status"
    fi
    pause=${pauses[try - 1]:-90}
    echo "$what: failed (exit code $status); trying again in ${pause}s" >&2
    sleep "$pause"
  done
}
