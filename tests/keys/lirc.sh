#!/usr/bin/env bash
# halyard-keys' LIRC server end to end, on an X server (run it under
# xvfb-run), with the simulation build of Halyard.dll and halyard-sim
# pressing keys. All traffic goes to 127.0.0.1.
#
# Plain TCP (--plain; bash's /dev/tcp, so that it runs in the 32-bit guest):
# nothing listens without [Network]; with Listen= a client gets the exact
# line of a key and rising repeat counts for a held one; the replies to
# VERSION, LIST, LIST <remote> and the errors; bad clients (one that never
# reads, forty at once, a 1 MB line, random bytes, connect and close in a
# loop) while a good client counts every key and the keystrokes still
# arrive; afterwards the program's descriptors and memory are back; a
# connection from outside AllowFrom= is closed at once; with the port taken
# by another program, the keys work on.
# With lircd (--lircd, skipped with 77 where Debian's lirc is missing):
# also a key through lircd --connect into irw, and the replies compared line
# for line in structure with a real lircd --listen.
# Usage: lirc.sh --plain|--lircd WORKDIR HALYARD-KEYS.EXE SIM-HALYARD.DLL HALYARD-SIM.EXE KEYS-TARGET.EXE -- WINE...
set -u
[ $# -ge 8 ] && [ "$7" = "--" ] ||
  { echo "usage: $0 --plain|--lircd WORKDIR KEYS SIM_DLL SIM_EXE TARGET -- WINE..." >&2; exit 2; }
mode=$1 work=$2 keys=$3 simdll=$4 sim=$5 target=$6
shift 7
wine=("$@")
if [ "$mode" = --lircd ]; then
  for tool in lircd irw; do
    command -v "$tool" >/dev/null || PATH=$PATH:/usr/sbin command -v "$tool" >/dev/null ||
      { echo "SKIP: $tool is missing (Debian's lirc package)"; exit 77; }
  done
  PATH=$PATH:/usr/sbin
fi
. "$(dirname "$0")/../common/x-session.sh"

# Ports of this run's own, away from 8765 where a real WinLIRC may listen.
port=$((20000 + $$ % 20000)) port2=$((port + 1)) port3=$((port + 2))
remote=Halyard
rm -rf "$work" && mkdir -p "$work/app" || exit 2
# lircd's UNIX sockets in a short folder of their own: a socket's path holds
# 107 bytes at most, and the build folder may be deep (lircd aborts on a
# longer one, "buffer overflow detected").
socks=$(mktemp -d /tmp/hk-lirc.XXXXXX) || exit 2
trap 'cleanup; rm -rf "$socks"' EXIT
"${wine[@]}" wineboot --init >/dev/null 2>&1
"${wine[@]}" "$sim" clear >/dev/null 2>&1
"${wine[@]}" "$sim" plug >/dev/null 2>&1
cp "$keys" "$work/app/halyard-keys.exe" && cp "$simdll" "$work/app/Halyard.dll" || exit 2
ini=$work/app/halyard.ini
log=$work/target.log
write_ini() { # [Network] lines...
  {
    printf '[Custom]\r\nMaskCode=0x40BF\r\n[Names]\r\n0x12 = KEY_OK\r\n[Keys]\r\nKEY_OK = Enter\r\n'
    printf '[Options]\r\nRepeatGuardMs=%s\r\n' $((400 * scale > 10000 ? 10000 : 400 * scale))
    [ $# -gt 0 ] && printf '[Network]\r\n' && printf '%s\r\n' "$@"
  } >"$ini"
}

# The Wine server of this prefix, among those of other prefixes: it works in
# a folder server-DEV-INODE, named after the prefix folder's.
prefix=$HOME/.wine
for word in "${wine[@]}"; do case $word in WINEPREFIX=*) prefix=${word#WINEPREFIX=} ;; esac; done
our_server() {
  local p dir
  dir=$(printf 'server-%x-%x' "$(stat -c %d "$prefix")" "$(stat -c %i "$prefix")")
  for p in $(pgrep -x wineserver; pgrep -x wineserver64); do
    case $(readlink "/proc/$p/cwd") in */"$dir") echo "$p" ;; esac
  done
}

keys_pid=
reading() { "${wine[@]}" "$sim" status 2>/dev/null | grep -q "host reading: yes"; }
start_keys() {
  "${wine[@]}" "$work/app/halyard-keys.exe" &
  keys_pid=$!
  pids+=($keys_pid)
  wait_for 30 reading || fail "halyard-keys did not read the simulated tuner"
}
stop_keys() {
  "${wine[@]}" "$target" --close HalyardKeysWindow >/dev/null 2>&1
  wait_for 15 bash -c "! kill -0 $keys_pid 2>/dev/null" || fail "halyard-keys did not exit"
}
press() { "${wine[@]}" "$sim" press 40BF "$1" >/dev/null || fail "halyard-sim press 40BF $1"; }
lines_in() { grep -c "$2" "$1" 2>/dev/null; }

# The TCP ports the program and the Wine server listen on: the sockets among
# their descriptors that /proc/net/tcp lists as listening (state 0A).
listening_ports() {
  local inodes p
  inodes=$(for p in "$keys_pid" $(our_server); do
    ls -l "/proc/$p/fd" 2>/dev/null | sed -n 's/.*socket:\[\([0-9]*\)\].*/\1/p'
  done | sort -u)
  [ -n "$inodes" ] || return 0
  local sl local_address rem st rest
  cat /proc/net/tcp /proc/net/tcp6 2>/dev/null |
    while read -r sl local_address rem st _ _ _ _ _ inode rest; do
      [ "$st" = 0A ] && grep -qx "$inode" <<<"$inodes" && echo $((16#${local_address##*:}))
    done | sort -un
}

# A reply block from fd: the lines from BEGIN to END.
read_block() { # fd
  local line out= started=
  while IFS= read -r -t $((5 * scale)) -u "$1" line; do
    [ "$line" = BEGIN ] && started=1
    [ -n "$started" ] && out+="$line"$'\n'
    [ -n "$started" ] && [ "$line" = END ] && break
  done
  printf '%s' "$out"
}
# The replies of a server on a port to the commands that lircd answers too.
ask_all() { # port
  local fd c
  exec {fd}<>"/dev/tcp/127.0.0.1/$1" || return 1
  for c in VERSION LIST "LIST $remote" "LIST nope" FOO; do
    printf '%s\n' "$c" >&$fd
    read_block $fd
  done
  exec {fd}>&-
}
# A reply's structure: the data lines' text stands aside, their count not.
structure() {
  awk 'BEGIN { n = -1 }
    n > 0 { print "<data>"; n--; next }
    prev == "DATA" { n = $0 }
    { print; prev = $0 }'
}

"${wine[@]}" "$target" --log "$log" --seconds $((240 * scale)) &
pids+=($!)
wait_for 30 grep -q ready "$log" 2>/dev/null || { fail "the target window did not start"; exit 1; }

# --- Off by default: a settings file without [Network] listens nowhere.
write_ini
start_keys
sleep $((1 * scale))
off=$(listening_ports)
[ -z "$off" ] || fail "halyard-keys listens without [Network]: ports $off"
stop_keys

# --- On for this PC: the same probe sees the port.
write_ini "Listen=127.0.0.1:$port" "RemoteName=$remote" "AllowFrom=127.0.0.3"
start_keys
wait_for 20 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port" 2>/dev/null ||
  { fail "nothing listens on 127.0.0.1:$port with Listen= set"; exit 1; }
listening_ports | grep -qx "$port" || fail "the listening-socket probe does not see port $port"

# A good client, reading everything until the end.
exec {good}<>"/dev/tcp/127.0.0.1/$port" || { fail "the good client cannot connect"; exit 1; }
cat <&$good >"$work/good.log" &
good_reader=$!
pids+=($good_reader)
sleep 0.5
t0=$(date +%s%N)
press 12
wait_for 5 grep -q . "$work/good.log" || fail "no event reached the client"
elapsed=$((($(date +%s%N) - t0) / 1000000))
echo "a key reached the client in $elapsed ms (halyard-sim's start included)"
want="0000000040bf12ed 00 KEY_OK $remote"
[ "$(head -n1 "$work/good.log")" = "$want" ] ||
  fail "first event: want '$want', got '$(head -n1 "$work/good.log")'"
"${wine[@]}" "$sim" hold 40BF 20 $((1500 * scale)) >/dev/null || fail "halyard-sim hold"
wait_for 10 bash -c "grep -q ' 02 CODE_20 ' '$work/good.log'" || fail "a held key's repeats did not arrive"
repeats=$(grep ' CODE_20 ' "$work/good.log" | cut -d' ' -f2 | tr '\n' ' ')
expect=0 ok=1
for r in $repeats; do [ $((16#$r)) -eq $expect ] || ok=0; expect=$((expect + 1)); done
[ $ok -eq 1 ] && [ $expect -ge 3 ] || fail "a held key's repeat counts do not rise from 00 one by one: $repeats"

# --- The replies.
ours=$(ask_all "$port")
echo "--- replies"; printf "%s\n" "$ours"
expected_ours="BEGIN
VERSION
SUCCESS
DATA
1
<data>
END
BEGIN
LIST
SUCCESS
DATA
1
<data>
END
BEGIN
LIST $remote
SUCCESS
DATA
1
<data>
END
BEGIN
LIST nope
ERROR
DATA
1
<data>
END
BEGIN
FOO
ERROR
DATA
1
<data>
END"
[ "$(printf '%s' "$ours" | structure)" = "$expected_ours" ] || fail "the replies are not lircd's blocks"
printf '%s' "$ours" | grep -qx "$remote" || fail "LIST does not name the remote"
printf '%s' "$ours" | grep -qx 'unknown remote: "nope"' || fail "LIST nope: no reason given"

if [ "$mode" = --lircd ]; then
  # A real lircd with the same remote and its one named button.
  printf '[lircd]\n' >"$work/lircd.options"
  cat >"$work/lircd.conf" <<CONF
begin remote
  name $remote
  bits 16
  pre_data_bits 16
  pre_data 0x40BF
  begin codes
    KEY_OK 0x12ED
  end codes
end remote
CONF
  lircd --nodaemon -O "$work/lircd.options" -H file -d /dev/null --listen=127.0.0.1:$port2 \
    --output "$socks/listen.sock" --pidfile "$work/lircd-listen.pid" "$work/lircd.conf" \
    >"$work/lircd-listen.log" 2>&1 &
  pids+=($!)
  wait_for 10 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port2" 2>/dev/null || fail "lircd --listen did not start"
  theirs=$(ask_all "$port2")
  echo "--- lircd's replies"; printf "%s\n" "$theirs"
  kill "$(cat "$work/lircd-listen.pid")" 2>/dev/null
  [ "$(printf '%s\n' "$ours" | structure)" = "$(printf '%s\n' "$theirs" | structure)" ] ||
    fail "VERSION, LIST, LIST $remote and the errors differ in structure from lircd's"

  # lircd --connect relays halyard-keys' events to its UNIX socket, where
  # irw reads them.
  printf '' >"$work/empty.conf"
  lircd --nodaemon -O "$work/lircd.options" -H file -d /dev/null --connect 127.0.0.1:$port \
    --output "$socks/relay.sock" --pidfile "$work/relay.pid" "$work/empty.conf" \
    >"$work/lircd-relay.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -S "$socks/relay.sock" || fail "lircd --connect made no socket"
  sleep 1
  irw "$socks/relay.sock" >"$work/irw.log" 2>&1 &
  pids+=($!)
  sleep 1
  # From the frame queued on the tuner: the library polls every 250 ms.
  press 12
  t0=$(date +%s%N)
  wait_for 5 grep -q . "$work/irw.log" || fail "nothing reached irw through lircd --connect"
  elapsed=$((($(date +%s%N) - t0) / 1000000))
  echo "irw printed the key $elapsed ms after its frame was queued"
  [ $elapsed -le $((1000 * scale)) ] || fail "the key took $elapsed ms to reach irw (want a second at most)"
  [ "$(head -n1 "$work/irw.log")" = "$want" ] || fail "irw: want '$want', got '$(head -n1 "$work/irw.log")'"
  "${wine[@]}" "$sim" hold 40BF 20 $((1200 * scale)) >/dev/null
  wait_for 10 bash -c "grep -q '^0000000040bf20df 02 CODE_20 $remote\$' '$work/irw.log'" ||
    fail "irw did not print the held key's rising repeat counts"
  echo "--- irw"; cat "$work/irw.log"
  kill "$(cat "$work/relay.pid")" 2>/dev/null
fi

# --- Bad clients while the good one counts every key.
sleep $((1 * scale))
# Wine answers 0 to GetProcessHandleCount: the program's descriptors stand
# in, and the TCP sockets the Wine server holds for it (those of its
# descriptors that /proc/net/tcp lists), one for each socket handle.
server_sockets() {
  local inodes
  inodes=$(ls -l "/proc/$(our_server)/fd" 2>/dev/null | sed -n 's/.*socket:\[\([0-9]*\)\].*/\1/p')
  cat /proc/net/tcp /proc/net/tcp6 2>/dev/null |
    while read -r _ _ _ _ _ _ _ _ _ inode _; do grep -qx "$inode" <<<"$inodes" && echo "$inode"; done |
    sort -u | wc -l
}
fds_before=$(ls "/proc/$keys_pid/fd" | wc -l)
server_before=$(server_sockets)
rss_before=$(awk '/^VmRSS/ { print $2 }' "/proc/$keys_pid/status")
events_before=$(lines_in "$work/good.log" ' KEY_OK ')
enters_before=$(lines_in "$log" '^keydown 0x0D ')
presses=10
# Another key between: each 0x12 is a press of its own, not a held key.
# Each key waits for the one before it to reach the good client (the
# simulated tuner gives one frame per poll), and notes how long it took from
# its frame queued: the library polls every 250 ms, and the bad clients must
# add nothing that shows.
arrived() { # CODE COUNT: the good client has COUNT lines of CODE
  local end=$((SECONDS + 5 * scale))
  until [ "$(grep -c " $1 " "$work/good.log")" -ge "$2" ]; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.01
  done
}
(n12=$events_before n13=$(lines_in "$work/good.log" ' CODE_13 ')
 for i in $(seq $presses); do
   press 12; t0=${EPOCHREALTIME/./}
   arrived KEY_OK $((n12 + i)) && echo $(((${EPOCHREALTIME/./} - t0) / 1000)) >>"$work/latency.log"
   press 13
   arrived CODE_13 $((n13 + i))
 done) &
presser=$!
exec {mute}<>"/dev/tcp/127.0.0.1/$port" # never reads
crowd=()
for i in $(seq 40); do
  { exec {c}<>"/dev/tcp/127.0.0.1/$port"; } 2>/dev/null && crowd+=($c)
done
readers=()
for c in "${crowd[@]}"; do
  timeout $((3 * scale)) cat <&$c >"$work/crowd.$c" 2>/dev/null &
  readers+=($!)
done
wait "${readers[@]}"
told=$(grep -l "16 clients at most" "$work"/crowd.* 2>/dev/null | wc -l)
crowded=$(server_sockets)
[ "$crowded" -eq 17 ] || fail "with 42 clients, $crowded sockets are open (want the listener and 16)"
# Sixteen at most: the good one, the mute one and 14 of the crowd.
[ $told -eq 26 ] || fail "of 40 more clients, $told were told there are too many (want 26)"
for c in "${crowd[@]}"; do exec {c}>&-; done
(head -c 1048576 /dev/zero | tr '\0' x >/dev/tcp/127.0.0.1/$port) 2>/dev/null
(head -c 65536 /dev/urandom >/dev/tcp/127.0.0.1/$port) 2>/dev/null
end=$((SECONDS + 10 * scale))
for i in $(seq 200); do
  [ $SECONDS -lt $end ] || break
  (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null
done
wait $presser
if wait_for 20 bash -c "[ \$(grep -c ' KEY_OK ' '$work/good.log') -ge $((events_before + presses)) ]"; then
  worst=$(sort -n "$work/latency.log" | tail -n1)
  echo "beside the bad clients, each key reached the good client within $worst ms of its frame"
  [ "$(wc -l <"$work/latency.log")" -eq $presses ] && [ "$worst" -le $((1000 * scale)) ] ||
    fail "keys took up to $worst ms to reach the good client beside the bad ones"
else
  fail "the good client got $(($(lines_in "$work/good.log" ' KEY_OK ') - events_before)) of $presses keys"
fi
wait_for 20 bash -c "[ \$(grep -c '^keydown 0x0D ' '$log') -ge $((enters_before + presses)) ]" ||
  fail "keystrokes: $(($(lines_in "$log" '^keydown 0x0D ') - enters_before)) of $presses Enter arrived"
exec {mute}>&-
sleep $((2 * scale))
fds_after=$(ls "/proc/$keys_pid/fd" | wc -l)
server_after=$(server_sockets)
rss_after=$(awk '/^VmRSS/ { print $2 }' "/proc/$keys_pid/status")
echo "descriptors $fds_before -> $fds_after, its TCP sockets $server_before -> $server_after, memory $rss_before kB -> $rss_after kB"
[ "$fds_after" -le $((fds_before + 2)) ] || fail "descriptors grew from $fds_before to $fds_after"
[ "$server_before" -ge 2 ] || fail "the socket count sees $server_before sockets, not the listener and the good client's"
[ "$server_after" -eq "$server_before" ] || fail "its TCP sockets went from $server_before to $server_after"
[ "$rss_after" -le $((rss_before + 4096)) ] || fail "memory grew from $rss_before kB to $rss_after kB"
kill -0 "$keys_pid" 2>/dev/null || fail "halyard-keys ended"

# --- AllowFrom=: 127.0.0.3 may connect, 127.0.0.2 stands for a computer
# outside it and is closed at once (python picks the source address).
if command -v python3 >/dev/null; then
  python3 - "$port" <<'PY' || fail "AllowFrom= was not applied"
import socket, sys
def talk(source):
    s = socket.socket()
    s.settimeout(5)
    s.bind((source, 0))
    s.connect(("127.0.0.1", int(sys.argv[1])))
    try:
        s.sendall(b"LIST\n")
        return s.recv(4096)
    except OSError:
        return b""
    finally:
        s.close()
inside, outside = talk("127.0.0.3"), talk("127.0.0.2")
print("127.0.0.3:", inside, "127.0.0.2:", outside)
sys.exit(0 if inside.startswith(b"BEGIN\nLIST\nSUCCESS") and outside == b"" else 1)
PY
else
  echo "no python3: the AllowFrom= source-address check is left out"
fi

exec {good}>&-
stop_keys

# --- A port another program holds: halyard-keys does not listen, and its
# keys work as before.
if command -v python3 >/dev/null; then
  python3 -c 'import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(1); time.sleep(float(sys.argv[2]))' \
    "$port3" $((60 * scale)) &
  holder=$!
  pids+=($holder)
  wait_for 10 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port3" 2>/dev/null || fail "the port holder did not start"
  write_ini "Listen=127.0.0.1:$port3"
  start_keys
  enters=$(lines_in "$log" '^keydown 0x0D ')
  press 12
  wait_for 20 bash -c "[ \$(grep -c '^keydown 0x0D ' '$log') -gt $enters ]" ||
    fail "no keystroke while the port was taken"
  listening_ports | grep -qx "$port3" && fail "halyard-keys listens on a port another program holds"
  stop_keys
  kill "$holder" 2>/dev/null
fi
"${wine[@]}" "$target" --close HalyardKeysTarget >/dev/null 2>&1

# --- Listen= on the network without AllowFrom= is refused by --check.
write_ini "Listen=0.0.0.0:$port3"
check=$("${wine[@]}" "$work/app/halyard-keys.exe" --check 2>&1 | tr -d '\r')
echo "$check" | grep -q "Listen=0.0.0.0:$port3 is refused" || fail "--check: no refusal: $check"

[ $status -eq 0 ] && echo "lirc ($mode): OK"
exit $status
