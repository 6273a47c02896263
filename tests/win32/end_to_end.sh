#!/usr/bin/env bash
# The real quenmora.exe under Wine, end to end: drive D: of the prefix is a temporary folder,
# the Linux quenmora-phone sends photos with Chinese names and then waits for the roster, and
# quenmora-probe reads and drives the window from outside.
# Usage: end_to_end.sh QUENMORA_EXE PROBE_EXE QUENMORA_PHONE
# Needs WINEPREFIX (made by scripts/wine-prefix) and DISPLAY; exits 77 when quenmora-phone is absent.
set -uo pipefail
exe=$1 probe_exe=$2 phone=$3
if [ ! -x "$phone" ]; then
  echo "SKIP: $phone is missing; build the linux preset first (cmake --build --preset linux)"
  exit 77
fi
: "${WINEPREFIX:?WINEPREFIX must name a prefix made by scripts/wine-prefix}"
: "${DISPLAY:?DISPLAY must name an X display (Xvfb)}"
export WINEDEBUG=-all

work=$(mktemp -d)
received=$work/received
mkdir -p "$received"
drive="$WINEPREFIX/dosdevices/d:"
saved_drive=$(readlink "$drive" 2>/dev/null || true)
program=""
failures=0

restore() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  if [ -n "$saved_drive" ]; then ln -sfn "$saved_drive" "$drive"; else rm -f "$drive"; fi
  rm -rf "$work"
}
trap restore EXIT

check() {  # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
probe() { wine "$probe_exe" "$@"; }
wait_for() {  # SECONDS COMMAND...: until COMMAND succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
}
text_is() { [ "$(probe text "$1")" = "$2" ]; }

ln -sfn "$received" "$drive"
wine "$exe" >/dev/null 2>&1 &
program=$!
check "the program starts and shows D:\\ as its receive directory" wait_for 60 probe wait 1
check "the receive directory box reads D:\\" text_is directory 'D:\'
check "the count label starts at 0" text_is count 0
info_has_instructions() { [[ "$(probe text info)" == *"操作方法:"* ]]; }
check "the information box gets the instructions" wait_for 10 info_has_instructions

# Three photos, one large enough to take many chunks.
photos=$work/photos
mkdir -p "$photos"
head -c 300000 /dev/urandom >"$photos/张三.jpg"
head -c 20000 /dev/urandom >"$photos/李四 二班.jpg"
head -c 5000 /dev/urandom >"$photos/王五_2024.jpg"
check "quenmora-phone sends three photos" \
  "$phone" send --pause-ms 50 127.0.0.1:3456 "$photos/张三.jpg" "$photos/李四 二班.jpg" "$photos/王五_2024.jpg"
check "the count label shows 3" wait_for 20 text_is count 3
for name in "张三.jpg" "李四 二班.jpg" "王五_2024.jpg"; do
  check "$name arrives byte for byte" wait_for 20 cmp -s "$photos/$name" "$received/$name"
done
check "nothing else is in the receive directory" test "$(ls "$received" | wc -l)" -eq 3

# The roster: the phone connects and waits; 按钮1 sends the roster box's text.
printf '4401\t张三\t440101200001011234\t一班\r\n4401\t李四\t440101200002022345\t二班' >"$work/roster.txt"
"$phone" roster --raw --timeout 30 127.0.0.1:3456 >"$work/roster.out" 2>"$work/roster.err" &
phone_roster=$!
check "the phone's roster connection stands" wait_for 20 grep -q "waiting for the roster" "$work/roster.err"
check "the roster goes into 编辑框2" probe set roster "$(winepath -w "$work/roster.txt")"
check "按钮1 is pressed" probe click send
wait_for 20 bash -c "! kill -0 $phone_roster 2>/dev/null"
wait "$phone_roster"
check "quenmora-phone roster ends successfully" test $? -eq 0
{ printf 'STAT||'; iconv -f UTF-8 -t GBK "$work/roster.txt"; printf '||END'; } >"$work/roster.expected"
check "the phone receives STAT||, the rows in code page 936 and ||END" cmp "$work/roster.expected" "$work/roster.out"

check "the window closes on request" probe close
check "the program ends with its window" wait_for 20 bash -c "! kill -0 $program 2>/dev/null"
program=""
echo "$failures failed"
[ "$failures" -eq 0 ]
