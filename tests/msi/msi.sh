#!/usr/bin/env bash
# The installer as users and administrators use it: Wine's msiexec in a Wine
# prefix of the test's own, on an X server (run it under xvfb-run) for the
# installed halyard-keys. In order:
#   1. an older version installs: files, shortcut, Start with Windows on, the
#      entry in the list of apps; the installed halyard-keys makes the user's
#      settings from the example on its first start, and the user edits them;
#   2. the newer one upgrades it in place with STARTWITHWINDOWS=0;
#   3. the older one is refused;
#   4. the same package again repairs a deleted file;
#   5. a rebuild of the same version replaces it, keeping Start with Windows off;
#   6. halyard-keys from the installed folder, with the simulation build in
#      place of Halyard.dll, runs the edited map's command for a key;
#   7. uninstalling leaves nothing but the user's settings.
# With HALYARD_MSI_QUICK=1 (the emulated 32-bit guest, where each msiexec and
# registry query takes seconds) only the package itself is installed, run and
# uninstalled: steps 1, 6 and 7. Upgrades, refusals and repairs are the same
# for either architecture's package and run in the 64-bit suite.
# Usage: msi.sh WORKDIR MSI OLDER_MSI REBUILT_MSI SIM_DLL HALYARD_SIM KEYS_TARGET -- WINE...
# Exits 77 (skipped) when a package or Wine is missing.
set -u
[ $# -ge 9 ] && [ "$8" = "--" ] ||
  { echo "usage: $0 WORKDIR MSI OLDER REBUILT SIM_DLL SIM_EXE TARGET -- WINE..." >&2; exit 2; }
work=$1 msi=$2 older=$3 rebuilt=$4 simdll=$5 sim=$6 target=$7
shift 8
wine=("$@")
. "$(dirname "$0")/../common/waits.sh"
say() { echo "== $*"; }
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
for f in "$msi" "$older" "$rebuilt"; do
  [ -f "$f" ] || { echo "SKIP: $f is missing: the build makes it where wixl is installed"; exit 77; }
done
command -v "${wine[-1]}" >/dev/null || { echo "SKIP: no ${wine[-1]}"; exit 77; }

prefix=$work/prefix
# A prefix of the test's own: installing must start from a clean user
# profile and registry. Wine's menu builder would copy the shortcut into the
# desktop's menus of the account that runs the test.
wine=(env "WINEPREFIX=$prefix" "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d" "${wine[@]}")
loader=$(command -v "${wine[-1]}")
server=
for s in "$(dirname "$loader")/wineserver" /usr/lib/wine/wineserver "$(command -v wineserver)"; do
  [ -x "$s" ] && { server=$s; break; }
done
stop_server() { [ -n "$server" ] && "${wine[@]:0:${#wine[@]}-1}" "$server" -k 2>/dev/null; }
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  stop_server
}
# An earlier run's server must not serve the new prefix.
[ -d "$prefix" ] && stop_server
rm -rf "$work" && mkdir -p "$work" || exit 2
trap cleanup EXIT

# The user's folders, as Windows and as this machine name them; the prefix is
# made first (a minute or more when emulated), once more should that fail.
folders=
for _ in 1 2; do
  "${wine[@]}" wineboot --init >"$work/wineboot.log" 2>&1
  folders=$("${wine[@]}" cmd /c 'echo %LOCALAPPDATA%^|%APPDATA%' 2>>"$work/wineboot.log" | tr -d '\r')
  case $folders in ?:\\*\|?:\\*) break ;; esac
  cat "$work/wineboot.log"
  stop_server
done
localWin=${folders%%|*} appWin=${folders#*|}
unix() { "${wine[@]}" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
installed=$(unix "$localWin\\Programs\\Halyard")
installedWin="$localWin\\Programs\\Halyard"
settings=$(unix "$appWin\\Halyard\\halyard.ini")
shortcut=$(unix "$appWin\\Microsoft\\Windows\\Start Menu\\Programs\\Halyard Keys.lnk")
[ -n "$installed" ] && [ -n "$settings" ] || { fail "cannot find the user's folders ($folders)"; exit 1; }
shipped=(halyard-keys.exe Halyard.dll halyard-monitor.exe halyard.example.ini README.md
  halyard-keys-help.html)

# msiexec ARGS...: its exit code in $code, its log in $work/msiexec-N.log.
runs=0
msiexec() {
  runs=$((runs + 1))
  log=$work/msiexec-$runs.log
  "${wine[@]}" msiexec "$@" /qn /l*v "$(winpath "$log")" >/dev/null 2>&1
  code=$?
  echo "msiexec $* -> $code"
}
query() { "${wine[@]}" reg query "$@" 2>/dev/null | tr -d '\r'; }
run_value() {
  query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Halyard keys' |
    sed -n 's/^ *Halyard keys *REG_SZ *//p'
}
approved() {
  query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run' /v 'Halyard keys' |
    sed -n 's/^ *Halyard keys *REG_BINARY *//p'
}
# One line "version|publisher|location" per entry named Halyard in the list of
# apps: Windows keeps a per-user product's in HKCU, Wine in HKLM.
entries() {
  local root
  for root in HKCU HKLM; do
    query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s | awk '
      /^HKEY_/ { if (name == "Halyard") print version "|" publisher "|" location; name = version = publisher = location = ""; next }
      $1 == "DisplayName" { sub(/^ *DisplayName *REG_SZ */, ""); name = $0 }
      $1 == "DisplayVersion" { sub(/^ *DisplayVersion *REG_SZ */, ""); version = $0 }
      $1 == "Publisher" { sub(/^ *Publisher *REG_SZ */, ""); publisher = $0 }
      $1 == "InstallLocation" { sub(/^ *InstallLocation *REG_SZ */, ""); location = $0 }
      END { if (name == "Halyard") print version "|" publisher "|" location }'
  done
}
# The icon of the list of apps: the installer's ProductIcon of the product.
product_icon() {
  query 'HKCU\Software\Microsoft\Installer\Products' /s |
    awk '$1 == "ProductName" { name = $3 } $1 == "ProductIcon" { sub(/^ *ProductIcon *REG_SZ */, ""); icon = $0 }
         /^HKEY_/ { if (name == "Halyard") print icon; name = icon = "" }
         END { if (name == "Halyard") print icon }'
}
expect_installed() { # VERSION STATE
  local f one
  for f in "${shipped[@]}"; do [ -f "$installed/$f" ] || fail "$1: $f is not in $installedWin"; done
  [ ! -e "$installed/halyard.ini" ] || fail "$1: a halyard.ini beside the program would hide the user's"
  [ -f "$shortcut" ] || fail "$1: no Start menu shortcut 'Halyard Keys'"
  [ "$(run_value)" = "\"$installedWin\\halyard-keys.exe\"" ] || fail "$1: Run value '$(run_value)'"
  [ "$(approved)" = "$2" ] || fail "$1: StartupApproved '$(approved)', want $2"
  one=$(entries)
  [ "$(grep -c . <<<"$one")" -eq 1 ] || fail "$1: want one entry in the list of apps, got: $one"
  [ "${one%%|*}" = "$1" ] || fail "entry of version '${one%%|*}', want $1"
  case $one in *"|Halyard|$installedWin\\") ;; *) fail "entry's publisher or location: $one" ;; esac
  local icon; icon=$(product_icon)
  [ -n "$icon" ] && [ -f "$(unix "$icon")" ] || fail "$1: no icon for the list of apps ('$icon')"
}
enabled=020000000000000000000000
disabled=030000000000000000000000
new_version=$(basename "$msi" | sed 's/^Halyard-\([0-9.]*\)-.*/\1/')
old_version=$(basename "$older" | sed 's/^Halyard-\([0-9.]*\)-.*/\1/')

quick=${HALYARD_MSI_QUICK:-0}
first=$older first_version=$old_version last=$rebuilt
if [ "$quick" = 1 ]; then first=$msi first_version=$new_version last=$msi; fi

say "1. install $first_version"
msiexec /i "$(winpath "$first")"
[ "$code" -eq 0 ] || fail "installing $first_version: exit code $code"
expect_installed "$first_version" "$enabled"
# The first start makes the user's settings from the example, and says so.
out=$("${wine[@]}" "$installedWin\\halyard-keys.exe" --check 2>&1 | tr -d '\r')
echo "$out"
[ "$(head -n1 <<<"$out")" = "$appWin\\Halyard\\halyard.ini" ] || fail "--check does not name the user's settings"
cmp -s "$settings" "$installed/halyard.example.ini" || fail "the user's settings are not the example"
# The user maps a key to a command, which step 6 presses.
ran=$work/ran.txt
printf '\r\n[Keys]\r\n0x05 = run: "%s" --touch "%s"\r\n' "$(winpath "$target")" "$(winpath "$ran")" >>"$settings"
edited=$(md5sum <"$settings")

if [ "$quick" != 1 ]; then
say "2. upgrade to $new_version with STARTWITHWINDOWS=0"
msiexec /i "$(winpath "$msi")" STARTWITHWINDOWS=0
[ "$code" -eq 0 ] || fail "upgrading: exit code $code"
expect_installed "$new_version" "$disabled"
[ "$(md5sum <"$settings")" = "$edited" ] || fail "the upgrade changed the user's settings"

say "3. $old_version over $new_version is refused"
msiexec /i "$(winpath "$older")"
# Windows Installer's 1603; Wine's exit code keeps its low byte.
[ "$code" -ne 0 ] || fail "the older version installed over the newer"
expect_installed "$new_version" "$disabled"

say "4. the same package again repairs"
rm -f "$installed/halyard-monitor.exe"
msiexec /i "$(winpath "$msi")"
[ "$code" -eq 0 ] || fail "reinstalling: exit code $code"
expect_installed "$new_version" "$disabled"

say "5. a rebuild of $new_version replaces it, Start with Windows still off"
msiexec /i "$(winpath "$rebuilt")"
[ "$code" -eq 0 ] || fail "installing the rebuild: exit code $code"
expect_installed "$new_version" "$disabled"
[ "$(md5sum <"$settings")" = "$edited" ] || fail "reinstalling changed the user's settings"
fi

say "6. the installed halyard-keys runs the edited map's command"
cp "$simdll" "$installed/Halyard.dll" || exit 2
"${wine[@]}" "$sim" clear >/dev/null 2>&1
"${wine[@]}" "$installedWin\\halyard-keys.exe" &
keys_pid=$!
pids+=($keys_pid)
reading() { "${wine[@]}" "$sim" status 2>/dev/null | grep -q "host reading: yes"; }
if wait_for 30 reading; then
  "${wine[@]}" "$sim" press 40BF 05 >/dev/null || fail "halyard-sim press 40BF 05"
  wait_for 20 test -e "$ran" || fail "the key did not run the edited map's command"
else
  fail "the installed halyard-keys never read the simulated tuner"
fi
"${wine[@]}" "$target" --close HalyardKeysWindow >/dev/null 2>&1
wait_for 15 bash -c "! kill -0 $keys_pid 2>/dev/null" || fail "halyard-keys did not exit"

say "7. uninstall"
# With the package installed last, as Windows needs: each build is a product
# of its own.
msiexec /x "$(winpath "$last")"
[ "$code" -eq 0 ] || fail "uninstalling: exit code $code"
[ ! -e "$installed" ] || fail "left in $installedWin: $(ls -A "$installed" | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the Start menu shortcut is left"
[ -z "$(run_value)" ] || fail "the Run value is left"
[ -z "$(approved)" ] || fail "the StartupApproved value is left"
[ -z "$(entries)" ] || fail "the entry in the list of apps is left: $(entries)"
[ -z "$(product_icon)" ] || fail "the installer's product registration is left"
[ "$(md5sum <"$settings")" = "$edited" ] || fail "uninstalling changed or removed the user's settings"

[ $status -eq 0 ] && echo "msi: OK"
exit $status
