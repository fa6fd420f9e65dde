#!/usr/bin/env bash
# One scenario of the simulation build, each program a process of its own in
# one Wine prefix:
#
#   scenario.sh NAME WORKDIR HOST SIM_DLL REAL_DLL HALYARD_SIM STALE_STATE -- RUNNER...
#
# NAME: keys, real_dll, two_hosts, tool or device. RUNNER runs a Windows
# program (env WINEPREFIX=... wine). device runs under xvfb-run, with a Wine
# prefix of its own, so that its desktop is on that X server. Waits stretch
# with HALYARD_TIME_SCALE on slow (emulated) runs; the results asserted do
# not, or within bounds that hold on such runs.
set -u
name=$1 work=$2 host=$3 sim_dll=$4 real_dll=$5 sim_tool=$6 stale=$7
shift 7
[ "${1:-}" = -- ] && shift
run=("$@")
scale=${HALYARD_TIME_SCALE:-1}
scale=${scale%%.*}
[ "${scale:-0}" -ge 1 ] 2>/dev/null || scale=1

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
background=()
# Commands run at the end, last first, e.g. plugging the tuner in again.
finally=()
trap 'for p in "${background[@]}"; do kill "$p" 2>/dev/null; done
      for ((i = ${#finally[@]} - 1; i >= 0; i--)); do eval "${finally[i]}"; done' EXIT

# sim ARGS...: halyard-sim; its exit code in $code, its output in $out and $err.
sim() {
  "${run[@]}" "$sim_tool" "$@" >sim.out 2>sim.err
  code=$?
  out=$(tr -d '\r' <sim.out) err=$(tr -d '\r' <sim.err)
}

# expect CODE REGEX ARGS...: halyard-sim ARGS exits with CODE, printing a line
# that matches REGEX on stdout or stderr.
expect() {
  local want=$1 regex=$2
  shift 2
  sim "$@"
  [ "$code" = "$want" ] || fail "halyard-sim $*: exit code $code, expected $want: $out $err"
  grep -qE -- "$regex" <<<"$out"$'\n'"$err" || fail "halyard-sim $*: nothing matches '$regex': $out $err"
}

# wait_until SECONDS COMMAND...: true once COMMAND succeeds, false when the
# (stretched) time runs out.
wait_until() {
  local end=$((SECONDS + $1 * scale))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}
reading() { sim status && grep -q "^host reading: yes" <<<"$out"; }
waiting() { sim status && grep -q "^frames waiting: $1 of" <<<"$out"; }
host_up() { grep -q "^init " "host-$1.out"; }
gone() { ! kill -0 "$1" 2>/dev/null; }

# start_host ID DLL [MODE]: a host of DLL with host.ini in the background; its
# lines in host-ID.out. stop_host ID ends it through its stop file.
start_host() {
  "${run[@]}" "$host" "$2" host.ini "stop-$1" $((120 * scale)) ${3:-} >"host-$1.out" 2>"host-$1.err" &
  background+=($!)
  eval "host_pid_$1=$!"
  wait_until 60 host_up "$1" || fail "host $1 did not start"
}
stop_host() {
  local pid
  eval "pid=\$host_pid_$1"
  touch "stop-$1"
  wait_until 30 gone "$pid" || { fail "host $1 did not stop"; kill "$pid"; }
  wait "$pid"
  sed -i 's/\r$//' "host-$1.out"
}
# host_once DLL: a host of DLL with host.ini for at most 10 s; its exit code
# in $status, its lines in $got.
host_once() {
  "${run[@]}" "$host" "$1" host.ini stop-1 $((10 * scale)) >host-1.out 2>host-1.err
  status=$?
  got=$(lines host-1.out)
}
# hold SCRIPT: halyard-sim plays SCRIPT in the background, holding the queue.
hold() {
  "${run[@]}" "$sim_tool" play "$1" >hold.out 2>&1 &
  holder=$!
  background+=($holder)
}
lines() { tr -d '\r' <"$1" | paste -sd' ' -; }
ini() { printf '[Custom]\r\nMaskCode=%s\r\n' "$1" >host.ini; }

case $name in
keys)
  # The host drops the other remote (00FF), and reads each frame once, in order.
  ini 0x40BF
  start_host 1 "$sim_dll"
  wait_until 30 reading || fail "halyard-sim status never saw the host read"
  expect 0 "^queued 40 BF 12 ED$" press 40BF 12
  [ -z "$err" ] || fail "press warned with a host reading: $err"
  expect 0 "^queued 00 FF 34 CB$" press 00FF 34
  printf '# a short session\n100 40BF 01\n100 00FF 02\n100 40BF 03 FC\n' >short.keys
  expect 0 "^played 3 presses$" play short.keys
  wait_until 30 waiting 0 || fail "frames left unread"
  stop_host 1
  got=$(lines host-1.out)
  [ "$got" = "init 0x00000000 key 0x12 key 0x01 key 0x03 uninit 0x00000000" ] ||
    fail "host received: $got"
  ;;
real_dll)
  # A frame waits, and the real library finds no tuner and takes nothing.
  ini 0x40BF
  printf '0 40BF 12\n%d 40BF 13\n' $((60000 * scale)) >hold.keys
  hold hold.keys
  wait_until 30 waiting 1 || fail "the frame was not queued"
  host_once "$real_dll"
  [ "$status" = 1 ] && [ "$got" = "init 0x80004005" ] || fail "real library: exit $status, output: $got"
  expect 0 "^frames waiting: 1 of 256$" status
  ;;
two_hosts)
  # Two hosts share the one tuner: each frame reaches exactly one of them.
  ini 0
  start_host 1 "$sim_dll"
  start_host 2 "$sim_dll"
  wait_until 30 reading || fail "halyard-sim status never saw a host read"
  for key in $(seq 1 24); do printf '0 40BF %02X\n' "$key"; done >burst.keys
  expect 0 "^played 24 presses$" play burst.keys
  wait_until 60 waiting 0 || fail "frames left unread"
  stop_host 1
  stop_host 2
  for id in 1 2; do
    grep -q "^init 0x00000000" "host-$id.out" || fail "host $id: $(lines "host-$id.out")"
    keys=$(grep '^key ' "host-$id.out" | cut -d' ' -f2)
    [ "$keys" = "$(sort <<<"$keys")" ] || fail "host $id received keys out of order: $keys"
    echo "host $id received $(grep -c '^key ' "host-$id.out") keys"
  done
  all=$(cat host-1.out host-2.out | grep '^key ' | cut -d' ' -f2 | sort | paste -sd' ' -)
  want=$(for key in $(seq 1 24); do printf '0x%02X\n' "$key"; done | paste -sd' ' -)
  [ "$all" = "$want" ] || fail "keys received by the two hosts together: $all"
  ;;
tool)
  expect 1 "missing command" 
  expect 0 "^  3  the queue is full" --help
  expect 1 "unknown command 'frobnicate'" frobnicate
  expect 1 "press takes <custom code> <key>" press 40BF
  expect 1 "custom code is not a hexadecimal value up to FFFF" press 140BF 12
  expect 1 "play takes one SCRIPT" play
  expect 1 "status takes no arguments" status now
  expect 1 "unplug takes no arguments" unplug now
  expect 1 "replug takes \[--gap MS\]" replug --late 100
  expect 1 "'1s' is not a decimal count of milliseconds" resume --late 1s
  expect 1 "hold takes <custom code> <key> \[<fourth>\] MS" hold 40BF 12
  expect 1 "'-5' is not a decimal count of milliseconds" hold 40BF 12 -5
  expect 0 "^  6  the tuner is unplugged" --help
  expect 2 "missing\.keys: cannot open" play missing.keys
  printf '100 40BF 12\nthis is not a press\n' >bad.keys
  expect 2 "bad\.keys: line 2: expected" play bad.keys

  # Nothing has the queue open: a press is a warning, not a failure.
  expect 0 "^host reading: no \(no program has the simulated tuner open\)" status
  expect 0 "warning: no program has the simulated tuner open" press 40BF 12

  # The bound: the 257th frame is refused by play and by press.
  for _ in $(seq 1 257); do echo "0 40BF 01"; done >fill.keys
  expect 3 "queue is full \(256 frames waiting\): press 257 of the script" play fill.keys
  { head -n 256 fill.keys; echo "$((60000 * scale)) 40BF 02"; } >hold.keys
  hold hold.keys
  wait_until 60 waiting 256 || fail "the queue did not fill"
  expect 3 "queue is full \(256 frames waiting\); is a host reading it\?" press 40BF 12
  expect 0 "^host reading: no \(never read\)" status
  expect 0 "^cleared 256 frames$" clear
  expect 0 "warning: no host has read the simulated tuner in the last second" press 40BF 12
  expect 0 "^frames waiting: 1 of 256$" status
  kill "$holder" && wait "$holder" 2>/dev/null

  # Unplugged with no program holding the tuner, it stays so, and a host
  # started now finds none; without a display the notices reach nobody,
  # which is no failure.
  finally+=("\"\${run[@]}\" \"\$sim_tool\" plug >/dev/null 2>&1")
  expect 0 "^unplugged$" unplug
  expect 0 "^unplugged \(it already was\)$" unplug
  expect 0 "^tuner: unplugged$" status
  expect 6 "^halyard-sim: the simulated tuner is unplugged \(halyard-sim plug\)$" press 40BF 12
  ini 0
  host_once "$sim_dll"
  [ "$got" = "init 0x80004005" ] || fail "a host started while the tuner is unplugged: $got"
  expect 0 "stays so \(halyard-sim plug\)" resume
  expect 0 "^plugged in$" plug
  expect 0 "^tuner: plugged in$" status
  expect 0 "^plugged in \(it already was\)$" plug

  # Another layout version holds the queue: both sides refuse it.
  "${run[@]}" "$stale" stop-stale >stale.out 2>&1 &
  stale_pid=$!
  background+=($stale_pid)
  wait_until 30 grep -q holding stale.out || fail "the stale queue was not made"
  mismatch="the simulated tuner has layout version [0-9]+, this build expects [0-9]+$"
  expect 4 "$mismatch" status
  expect 4 "$mismatch" press 40BF 12
  ini 0
  host_once "$sim_dll"
  [ "$got" = "init 0x80004005" ] || fail "simulation build beside another version: $got"
  touch stop-stale
  wait "$stale_pid"
  ;;
device)
  # Host 1 never restarts; host 2 restarts after each device change and
  # resume. Both have hidden top-level windows and log the notices.
  "${run[@]}" wineboot --init >/dev/null 2>&1
  loader=$(command -v "${run[-1]}")
  for server in "$(dirname "$loader")/wineserver" /usr/lib/wine/wineserver "$(command -v wineserver)"; do
    [ -x "$server" ] && break
  done
  finally+=("\"\${run[@]:0:\${#run[@]}-1}\" \"\$server\" -k 2>/dev/null")
  finally+=("\"\${run[@]}\" \"\$sim_tool\" plug >/dev/null 2>&1")
  "${run[@]}" "$sim_tool" plug >/dev/null 2>&1 # as an earlier run may have left it
  ini 0x40BF
  start_host 1 "$sim_dll" notices
  start_host 2 "$sim_dll" recover
  wait_until 30 reading || fail "halyard-sim status never saw a host read"
  expect 0 "^queued 40 BF 01 FE$" press 40BF 01
  wait_until 30 waiting 0 || fail "the first key was not read"

  # Unplugged: the hosts' reads fail silently, and no key is taken.
  expect 0 "^unplugged$" unplug
  expect 6 "the simulated tuner is unplugged \(halyard-sim plug\)$" press 40BF 02
  printf '0 40BF 02\n' >one.keys
  expect 6 "unplugged: press 1 of the script was not queued" play one.keys
  expect 6 "the simulated tuner is unplugged" hold 40BF 02 1000
  sleep $((1 * scale)).5
  expect 0 "^host reading: no \(last read" status
  grep -q "^tuner: unplugged$" <<<"$out" || fail "status: $out"
  kill -0 "$host_pid_1" "$host_pid_2" || fail "a host ended when the tuner went away"

  # Back: a host that starts the library again gets keys; one that does not,
  # none ever again.
  restarted() { [ "$(tr -d '\r' <host-2.out | grep -c '^restart 0x00000000')" -ge "$1" ]; }
  expect 0 "^plugged in$" plug
  wait_until 30 restarted 1 || fail "host 2 did not restart after plug"
  expect 0 "^queued 40 BF 03 FC$" press 40BF 03
  wait_until 30 waiting 0 || fail "key 03 was not read"

  # A held key: one frame each poll while held, none after.
  held_ms=$((1500 * scale))
  expect 0 "^released 40 BF 06 F9$" hold 40BF 06 "$held_ms"
  grep -q "^holding 40 BF 06 F9 for $held_ms ms$" <<<"$out" || fail "hold said: $out"
  sleep $((1 * scale))
  held=$(tr -d '\r' <host-2.out | grep -c '^key 0x06$')
  sleep 1
  [ "$(tr -d '\r' <host-2.out | grep -c '^key 0x06$')" = "$held" ] || fail "key 06 arrived after its release"
  polls=$((held_ms / 250))
  [ "$held" -ge $((polls / 2)) ] && [ "$held" -le $((polls + 2)) ] ||
    fail "a key held for $held_ms ms gave $held frames, expected about $polls"
  echo "a key held for $held_ms ms gave $held frames"

  # A sleep, the tuner back a second after the resume notice; then a replug.
  late=$((1000 * scale))
  expect 0 "^resumed; the tuner comes back in $late ms$" resume --late "$late"
  [ "$out" = $'suspended\nresumed; the tuner comes back in '"$late"$' ms\nplugged in' ] ||
    fail "resume said: $out"
  wait_until 30 restarted 2 || fail "host 2 did not restart after resume"
  expect 0 "^queued 40 BF 07 F8$" press 40BF 07
  wait_until 30 waiting 0 || fail "key 07 was not read"
  expect 0 "^plugged in$" replug --gap 200
  [ "$out" = $'unplugged\nplugged in' ] || fail "replug said: $out"
  wait_until 30 restarted 3 || fail "host 2 did not restart after replug"
  expect 0 "^queued 40 BF 08 F7$" press 40BF 08
  wait_until 30 waiting 0 || fail "key 08 was not read"
  stop_host 1
  stop_host 2

  dc="notice WM_DEVICECHANGE 0x0007" pb="notice WM_POWERBROADCAST"
  want="$dc|$dc|$pb 0x0004|$pb 0x0012|$dc|$dc|$dc"
  for id in 1 2; do
    got=$(grep '^notice ' "host-$id.out" | paste -sd'|' -)
    [ "$got" = "$want" ] || fail "host $id's notices: $got"
  done
  # Key 01 reached one host, before the unplug; the others host 2 alone.
  got=$(grep '^key ' host-1.out | paste -sd' ' -)
  [ -z "$got" ] || [ "$got" = "key 0x01" ] || fail "host 1 received after its tuner went: $got"
  got=$(grep '^key ' host-2.out | grep -v 'key 0x06' | paste -sd' ' -)
  [ "$got" = "key 0x03 key 0x07 key 0x08" ] || [ "$got" = "key 0x01 key 0x03 key 0x07 key 0x08" ] ||
    fail "host 2 received: $got"
  [ "$(cat host-1.out host-2.out | grep -c '^key 0x01$')" = 1 ] || fail "key 01 arrived twice or never"
  ;;
*)
  echo "unknown scenario $name" >&2
  exit 2
  ;;
esac

[ "$failures" -eq 0 ] && echo "scenario $name: passed" || echo "scenario $name: $failures failure(s)"
[ "$failures" -eq 0 ]
