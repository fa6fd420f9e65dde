#!/usr/bin/env bash
# halyard-keys' on-screen display on an X server (run it under xvfb-run): a
# target window in the foreground that watches whether it keeps it, and
# key-display-check showing the display from another process. The target
# must keep the foreground and the focus throughout and receive the
# keystroke sent while the display shows. With SHOT.png, also takes a
# picture of the display over the target.
# Usage: display.sh WORKDIR KEY-DISPLAY-CHECK.EXE KEYS-TARGET.EXE [SHOT.png] -- WINE...
set -u
work=${1:-} check=${2:-} target=${3:-}
shift 3 2>/dev/null
shot=
if [ $# -ge 1 ] && [ "$1" != "--" ]; then shot=$1; shift; fi
[ -n "$target" ] && [ "${1:-}" = "--" ] && [ $# -ge 2 ] ||
  { echo "usage: $0 WORKDIR CHECK TARGET [SHOT.png] -- WINE..." >&2; exit 2; }
shift
wine=("$@")
. "$(dirname "$0")/../common/x-session.sh"

rm -rf "$work" && mkdir -p "$work" || exit 2
"${wine[@]}" wineboot --init >/dev/null 2>&1
log=$work/target.log

"${wine[@]}" "$target" --log "$log" --seconds $((120 * scale)) --watch &
pids+=($!)
wait_for 30 grep -q '^ready' "$log" 2>/dev/null ||
  { fail "the target window did not start"; exit 1; }
grep -q '^ready foreground=1 focus=1' "$log" || fail "the target did not get the foreground"

"${wine[@]}" "$check" --show || fail "key-display-check --show"
wait_for 10 grep -q '^keydown 0x76 ' "$log" ||
  fail "the keystroke sent while the display showed did not reach the target"

if [ -n "$shot" ]; then
  "${wine[@]}" "$check" --show-for $((5000 * scale)) "Ctrl+Shift+P" &
  shower=$!
  sleep $((2 * scale))
  import -window root "$shot" || fail "import -window root $shot"
  wait "$shower"
fi

echo "--- target log"; cat "$log"; echo "---"
grep -q '^foreground=' "$log" && fail "the target lost the foreground or the focus"

[ $status -eq 0 ] && echo "display: OK"
exit $status
