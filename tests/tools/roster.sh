#!/usr/bin/env bash
# quenmora-phone roster against a tiny desktop stand-in that sends the roster in small pieces:
# rows printed in UTF-8, --raw gives the bytes as sent, and a roster that never completes fails.
source "$(dirname "$0")/tool_test_lib.sh"

# serve.py MESSAGE_HEX: listens on a free port, prints it, sends the message 7 bytes at a time to
# the first client, then closes the connection.
cat >"$work/serve.py" <<'PY'
import socket, sys, time
message = bytes.fromhex(sys.argv[1])
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(1)
server.settimeout(20)
print(server.getsockname()[1], flush=True)
client, _ = server.accept()
for i in range(0, len(message), 7):
    client.sendall(message[i:i + 7])
    time.sleep(0.005)
client.close()
PY

# roster_from MESSAGE_HEX ARGS...: runs quenmora-phone roster ARGS against serve.py; its
# output goes to $work/out and its status is returned.
roster_from() {
  local hex=$1; shift
  python3 "$work/serve.py" "$hex" >"$work/port" &
  local server=$!
  wait_for 10 test -s "$work/port" || { kill "$server"; return 99; }
  "$phone" roster "$@" "127.0.0.1:$(cat "$work/port")" >"$work/out" 2>"$work/err"
  local status=$?
  kill "$server" 2>/dev/null; wait "$server" 2>/dev/null
  : >"$work/port"
  return $status
}
gbk_hex() { python3 -c 'import sys; print(sys.argv[1].encode("gbk").hex())' "$1"; }

rows=$'4401\t张三\t440101200001011234\t一班\r\n4401\t李四\t440101200002022345\t二班'
message=$(gbk_hex "STAT||${rows}||END")

check "roster exits 0" roster_from "$message"
check "rows printed in UTF-8, one per line" diff <(printf '%s\n' "${rows//$'\r'/}") "$work/out"

check "roster --raw exits 0" roster_from "$message" --raw
check "--raw writes the message bytes as sent" \
  test "$(python3 -c 'import sys; print(open(sys.argv[1], "rb").read().hex())' "$work/out")" = "$message"

check "a closing zero byte is accepted" roster_from "${message}00"
check "the rows are the same with it" diff <(printf '%s\n' "${rows//$'\r'/}") "$work/out"

roster_from "$(gbk_hex "STAT||no end")"
check "a connection that closes before ||END fails with 1" test $? -eq 1

roster_from "$(gbk_hex "hello||END")"
check "data that is not a roster message fails with 1" test $? -eq 1

# A desktop that never sends: the timeout ends the wait.
python3 -c 'import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(1)
print(s.getsockname()[1], flush=True); time.sleep(15)' >"$work/port" &
silent=$!
wait_for 10 test -s "$work/port"
started=$SECONDS
"$phone" roster --timeout 1 "127.0.0.1:$(cat "$work/port")" >/dev/null 2>&1
check "a silent desktop fails with 1 after the timeout" test $? -eq 1
check "the timeout is kept" test $((SECONDS - started)) -le 5
kill "$silent"
finish
