# Shared by the tests that run the real Linux program under Xvfb: sourced with the program and
# the probe library as $1 and $2. Gives a temporary home with a Pictures folder, an X server of
# its own, the program with the probe loaded into it, the probe's commands, and (from
# phone_session.sh) checks and bounded waits.
set -uo pipefail
program=$1 probe_library=$2
work=$(mktemp -d)
home=$work/home
mkdir -p "$home/Pictures" "$work/runtime"
chmod 700 "$work/runtime"
xvfb_pid="" program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/../phone_session.sh"
probe() { printf '%s\n' "$*" | socat -t 30 - "UNIX-CONNECT:$work/probe" 2>/dev/null; }

# The program listens on the phone's port 3456, as the Windows program does in other checkouts'
# tests: one at a time on this machine.
exec 8>/tmp/quenmora-port-3456.lock
flock -w 900 8 || { echo "FAILED: port 3456 stayed taken by another checkout's tests"; exit 1; }

# An X server on a display number it picks itself, so that other X servers do not matter.
start_display() {
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_for 20 test -s "$work/display" || { echo "FAILED: Xvfb did not start"; exit 1; }
  export DISPLAY=:$(head -n 1 "$work/display")
}

# The program as a user whose home is the test's, so its receive directory is $home/Pictures.
start_program() {
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=xcb QUENMORA_PROBE="$work/probe" LD_PRELOAD="$probe_library" \
    "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  if ! wait_for 30 text_is count 0; then
    echo "FAILED: the main window did not appear"; cat "$work/program.log"; exit 1
  fi
}

# Closes the window and waits for the program to end with it.
stop_program() {
  probe close >/dev/null
  wait_for 20 bash -c "! kill -0 $program_pid 2>/dev/null" && program_pid=""
  [ -z "$program_pid" ]
}

finish() {
  echo "$failures failed"
  [ "$failures" -eq 0 ]
}
