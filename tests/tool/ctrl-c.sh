#!/usr/bin/env bash
# Runs the tool (the command line given) until it is listening, sends it
# Ctrl+C (SIGINT, which Wine delivers as CTRL_C_EVENT) and expects a clean
# stop: the summary line and exit code 0.
set -u
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1 &
pid=$!
for _ in $(seq 1 300); do
  grep -q "Ctrl+C" "$out" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 0.5
kill -INT "$pid" 2>/dev/null
code=0
for _ in $(seq 1 150); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "still running 15 s after Ctrl+C" >&2
  kill -KILL "$pid"
  code=1
fi
wait "$pid"
status=$?
cat "$out"
[ "$status" -eq 0 ] || { echo "exit code $status after Ctrl+C, expected 0" >&2; code=1; }
grep -q "keys\? received in" "$out" || { echo "no summary after Ctrl+C" >&2; code=1; }
exit $code
