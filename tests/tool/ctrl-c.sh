#!/usr/bin/env bash
# Runs the tool (the command line given) until it is listening, sends it
# Ctrl+C (SIGINT, which Wine delivers as CTRL_C_EVENT) and expects a clean
# stop: the summary line and exit code 0.
set -u
# Waits stretch with HALYARD_TIME_SCALE on slow (emulated) runs.
scale=${HALYARD_TIME_SCALE:-1}
scale=${scale%%.*}
[ "${scale:-0}" -ge 1 ] 2>/dev/null || scale=1
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1 &
pid=$!
for _ in $(seq 1 $((300 * scale))); do
  grep -q "Ctrl+C" "$out" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 0.5
kill -INT "$pid" 2>/dev/null
code=0
for _ in $(seq 1 $((150 * scale))); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "still running $((15 * scale)) s after Ctrl+C" >&2
  kill -KILL "$pid"
  code=1
fi
wait "$pid"
status=$?
cat "$out"
[ "$status" -eq 0 ] || { echo "exit code $status after Ctrl+C, expected 0" >&2; code=1; }
grep -q "keys\? received in" "$out" || { echo "no summary after Ctrl+C" >&2; code=1; }
exit $code
