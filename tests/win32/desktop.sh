#!/usr/bin/env bash
# Keeps Wine's desktop process alive for the window tests: desktop.sh start|stop PROBE_EXE.
# The desktop process starts with the first window and inherits that process's output; started
# here with its output sent to /dev/null, it never holds a test's output (and CTest) waiting.
set -u
wine=$(dirname "$0")/../../scripts/wine
probe=$2
case $1 in
  start)
    setsid "$wine" "$probe" hold 1800 </dev/null >/dev/null 2>&1 &
    for _ in $(seq 150); do
      "$wine" "$probe" held </dev/null >/dev/null 2>&1 && exit 0
      sleep 0.2
    done
    echo "the hidden window of quenmora-probe hold did not appear"
    exit 1 ;;
  stop)
    "$wine" "$probe" release </dev/null >/dev/null 2>&1 ;;
  *)
    echo "usage: desktop.sh start|stop PROBE_EXE"; exit 2 ;;
esac
