#!/usr/bin/env bash
# Both tools refuse bad command lines with status 2 and fail with status 1, saying why, when
# the network refuses them.
source "$(dirname "$0")/tool_test_lib.sh"

photo=$work/photo.jpg
printf '\xff\xd8\xff\xe0' >"$photo"
mkdir -p "$work/received"

# status_is EXPECTED COMMAND...: the command ends with EXPECTED and writes a message to stderr.
status_is() {
  local expected=$1; shift
  "$@" >/dev/null 2>"$work/err"
  local status=$?
  [ "$status" -eq "$expected" ] && [ -s "$work/err" ] && return 0
  echo "  got status $status from: $*"; cat "$work/err"
  return 1
}

check "no command" status_is 2 "$phone"
check "unknown command" status_is 2 "$phone" fetch 127.0.0.1
check "send without files" status_is 2 "$phone" send 127.0.0.1
check "send of a missing file" status_is 2 "$phone" send 127.0.0.1 "$work/missing.jpg"
check "port 0" status_is 2 "$phone" send 127.0.0.1:0 "$photo"
check "port out of range" status_is 2 "$phone" send 127.0.0.1:65536 "$photo"
check "port not a number" status_is 2 "$phone" send 127.0.0.1:x "$photo"
check "unknown option" status_is 2 "$phone" send --fast 127.0.0.1 "$photo"
check "chunk of zero bytes" status_is 2 "$phone" send --chunk 0 127.0.0.1 "$photo"
check "option without its value" status_is 2 "$phone" send 127.0.0.1 "$photo" --pause-ms
check "--no-pause with --pause-ms" status_is 2 "$phone" send --no-pause --pause-ms 5 127.0.0.1 "$photo"
check "roster with two hosts" status_is 2 "$phone" roster 127.0.0.1 127.0.0.2
check "roster timeout of zero" status_is 2 "$phone" roster --timeout 0 127.0.0.1

closed=$(free_port)
check "send to a closed port" status_is 1 "$phone" send "127.0.0.1:$closed" "$photo"
grep -q "cannot connect to 127.0.0.1:$closed" "$work/err" || fail "the refusal names the address"
check "roster from a closed port" status_is 1 "$phone" roster --timeout 5 "127.0.0.1:$closed"

check "receive without a directory" status_is 2 "$receive"
check "receive into a missing directory" status_is 2 "$receive" "$work/missing"
check "receive with a bad port" status_is 2 "$receive" --port 70000 "$work/received"

# A port another program listens on: the receiver says so and ends instead of running on.
python3 -c 'import socket, time
s = socket.socket(); s.bind(("0.0.0.0", 0)); s.listen(1)
print(s.getsockname()[1], flush=True); time.sleep(15)' >"$work/port" &
holder=$!
wait_for 10 test -s "$work/port"
check "receive on a taken port" status_is 1 timeout 10 "$receive" --port "$(cat "$work/port")" "$work/received"
grep -q "cannot listen on port" "$work/err" || fail "the failure names the port"
kill "$holder"
finish
