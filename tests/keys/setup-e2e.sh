#!/usr/bin/env bash
# Set up the remote, end to end, on an X server (run it under xvfb-run):
# halyard-keys installed from the MSI (or, where no MSI is built, copied),
# with the simulation build of Halyard.dll in place of the real one and the
# settings a fresh install makes from the example; the setup dialog driven
# by its controls, the buttons pressed with halyard-sim. Six buttons are named, one skipped, and one code
# pressed for a second button is pointed out before the right one is
# pressed; Finish gives the named buttons their common actions. The file
# must differ from before by exactly the added lines; then OK sends Enter to
# the window in front, and Volume up held sends the volume key again and
# again.
# Usage: setup-e2e.sh WORKDIR HALYARD.MSI|HALYARD-KEYS.EXE SIM-HALYARD.DLL HALYARD-SIM.EXE KEYS-TARGET.EXE SETUP-DRIVER.EXE EXAMPLE.INI -- WINE...
set -u
[ $# -ge 9 ] && [ "$8" = "--" ] ||
  { echo "usage: $0 WORKDIR MSI|KEYS SIM_DLL SIM_EXE TARGET DRIVER EXAMPLE_INI -- WINE..." >&2; exit 2; }
work=$1 package=$2 simdll=$3 sim=$4 target=$5 driver=$6 example=$7
shift 8
wine=("$@")
. "$(dirname "$0")/../common/x-session.sh"

winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
rm -rf "$work" && mkdir -p "$work" || exit 2
"${wine[@]}" wineboot --init >/dev/null 2>&1
"${wine[@]}" "$sim" clear >/dev/null 2>&1 # frames left by an earlier run
unix() { "${wine[@]}" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
# Installed, the package goes again however the test ends: its Run entry
# would start halyard-keys in this prefix, which other tests share.
uninstall() { :; }
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; uninstall; cleanup' EXIT
case $package in
  *.msi)
    folders=$("${wine[@]}" cmd /c 'echo %LOCALAPPDATA%^|%APPDATA%' 2>/dev/null | tr -d '\r')
    app=$(unix "${folders%%|*}\\Programs\\Halyard")
    # Run as the Start menu runs it, by its Windows path.
    keys_exe="${folders%%|*}\\Programs\\Halyard\\halyard-keys.exe"
    settings=$(unix "${folders#*|}\\Halyard\\halyard.ini")
    [ -n "$app" ] && [ -n "$settings" ] || { fail "cannot find the user's folders ($folders)"; exit 1; }
    # A fresh install's settings: none yet, until halyard-keys' first start.
    rm -f "$settings"
    "${wine[@]}" msiexec /i "$(winpath "$package")" /qn >/dev/null 2>&1 ||
      { fail "installing $(basename "$package")"; exit 1; }
    uninstall() { "${wine[@]}" msiexec /x "$(winpath "$package")" /qn >/dev/null 2>&1; }
    # The first start makes the user's settings from the example.
    "${wine[@]}" "$keys_exe" --check >/dev/null 2>&1
    cmp -s "$settings" "$example" || fail "the first start did not make the settings from the example"
    ;;
  *)
    app=$work/app settings=$work/app/halyard.ini keys_exe=$work/app/halyard-keys.exe
    mkdir -p "$app" && cp "$package" "$keys_exe" && cp "$example" "$settings" || exit 2
    ;;
esac
cp "$simdll" "$app/Halyard.dll" || exit 2
# On a slow emulated run, frames one poll apart must still count as one held
# button.
if [ "$scale" -gt 1 ]; then
  printf '\n[Options]\nRepeatGuardMs=%d\n' $((400 * scale > 10000 ? 10000 : 400 * scale)) >>"$settings"
fi
cp "$settings" "$work/before.ini"
log=$work/target.log

"${wine[@]}" "$target" --log "$log" --seconds $((120 * scale)) &
pids+=($!)
wait_for 30 grep -q ready "$log" 2>/dev/null || { fail "the target window did not start"; exit 1; }
"${wine[@]}" "$keys_exe" &
keys_pid=$!
pids+=($keys_pid)
reading() { "${wine[@]}" "$sim" status 2>/dev/null | grep -q "host reading: yes"; }
wait_for 30 reading || { fail "halyard-keys never read the simulated tuner"; exit 1; }

press() { "${wine[@]}" "$sim" press 40BF "$1" >/dev/null || fail "halyard-sim press 40BF $1"; }
drive() { "${wine[@]}" "$driver" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# Presses code once the dialog asks for name.
name() { drive --at "$1" || { fail "the setup did not ask for $1"; return 1; }; press "$2"; }

"${wine[@]}" "$keys_exe" --setup || fail "halyard-keys --setup"
drive --wait || { fail "the setup dialog did not open"; exit 1; }
name KEY_OK 12
name KEY_UP 1A
name KEY_DOWN 1E
drive --at KEY_LEFT && drive --skip || fail "Skip at KEY_LEFT"
# OK's code again, for Right: pointed out, not taken.
name KEY_RIGHT 12
drive --heard "is OK already" >"$work/heard.txt" || fail "a code named OK was not pointed out: $(cat "$work/heard.txt")"
drive --at KEY_RIGHT || fail "the code named OK was taken for Right"
press 1F
name KEY_BACK 16
name KEY_VOLUMEUP 20
drive --at KEY_VOLUMEDOWN || fail "Volume up was not taken"
[ "$(grep -c '^keydown' "$log")" -eq 0 ] || fail "a key was typed while the setup was open"
drive --finish || fail "Finish did not show the last page with the common actions checked"
drive --save >"$work/saved.txt" || fail "the setup did not save: $(cat "$work/saved.txt")"
[ -n "${HALYARD_SCREENSHOT:-}" ] && import -window root "$HALYARD_SCREENSHOT" 2>/dev/null
drive --close || fail "the setup dialog did not close"

changes=$(diff "$work/before.ini" "$settings" | grep '^[<>]' | tr -d '\r')
expected="> 
> [Names]
> 0x12 = KEY_OK
> 0x1A = KEY_UP
> 0x1E = KEY_DOWN
> 0x1F = KEY_RIGHT
> 0x16 = KEY_BACK
> 0x20 = KEY_VOLUMEUP
> 
> [Keys]
> KEY_OK = Enter
> KEY_UP = Up, repeat
> KEY_DOWN = Down, repeat
> KEY_RIGHT = Right, repeat
> KEY_BACK = Esc
> KEY_VOLUMEUP = VK_VOLUME_UP, repeat fast"
[ "$changes" = "$expected" ] ||
  fail "the settings file changed otherwise than by the added lines:
$(diff "$work/before.ini" "$settings")"
"${wine[@]}" "$keys_exe" --check >"$work/check.txt" 2>&1 ||
  fail "the saved map has bad lines: $(tr -d '\r' <"$work/check.txt")"

press 12
wait_for 20 grep -q '^keydown 0x0D ' "$log" || fail "OK did not send Enter after the setup"
"${wine[@]}" "$sim" hold 40BF 20 $((2500 * scale)) >/dev/null || fail "halyard-sim hold"
sleep 1
echo "--- target log"; cat "$log"; echo "---"
[ "$(grep -c '^keydown 0xAF ' "$log")" -ge 3 ] ||
  fail "Volume up held: want the volume key three times or more, got $(grep -c '^keydown 0xAF ' "$log")"

"${wine[@]}" "$target" --close HalyardKeysWindow || fail "no halyard-keys window to close"
wait_for 15 bash -c "! kill -0 $keys_pid 2>/dev/null" || fail "halyard-keys did not exit on WM_CLOSE"
"${wine[@]}" "$target" --close HalyardKeysTarget >/dev/null 2>&1
uninstall || fail "uninstalling $(basename "$package")"
uninstall() { :; }

[ $status -eq 0 ] && echo "setup-e2e: OK"
exit $status
