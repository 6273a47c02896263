# Shared by the tool tests: sourced with the paths of quenmora-phone and quenmora-receive as $1
# and $2. Gives a temporary directory, bounded waits and a receiver on a free port.
set -uo pipefail
phone=$1
receive=$2
work=$(mktemp -d)
receiver_pid=""
cleanup() {
  [ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # description, then the command that must succeed
  local what=$1; shift
  "$@" || fail "$what"
}
finish() {
  [ "$failures" -eq 0 ] && echo "all checks passed"
  exit $((failures > 0))
}

# wait_for SECONDS COMMAND...: retries COMMAND every 0.05 s; false if it never succeeds.
wait_for() {
  local limit=$1; shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# start_receiver DIR: quenmora-receive on a free port; sets receiver_pid, port and receiver_log.
start_receiver() {
  receiver_log=$work/receiver.log
  "$receive" --port 0 "$1" >"$receiver_log" 2>&1 &
  receiver_pid=$!
  if ! wait_for 10 grep -q '^listening on port ' "$receiver_log"; then
    echo "receiver did not start:"; cat "$receiver_log"; exit 1
  fi
  port=$(sed -n 's/^listening on port \([0-9]*\),.*/\1/p' "$receiver_log")
}

# stop_receiver: Ctrl-C; true if it ended by itself with status 0 within 10 s.
stop_receiver() {
  kill -INT "$receiver_pid"
  local pid=$receiver_pid
  receiver_pid=""
  wait_for 10 eval "! kill -0 $pid 2>/dev/null" || { kill -9 "$pid"; return 1; }
  wait "$pid"
}

# free_port: a port nothing listens on (bound and released at once).
free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
