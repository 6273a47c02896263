#!/usr/bin/env bash
# The real Linux program end to end under Xvfb: its receive directory is the Pictures folder of
# the test's home, quenmora-phone sends photos with Chinese names and then waits for the roster,
# which the probe pastes into the roster box through the context menu before pressing 传名册到手机.
# Usage: end_to_end.sh QUENMORA PROBE_LIBRARY QUENMORA_PHONE
source "$(dirname "$0")/x_session.sh" "$1" "$2"
phone=$3
received=$home/Pictures

start_display
start_program
check "the receive directory box shows the Pictures folder" text_is directory "$received"
check "the count label starts at 0" text_is count 0
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

# The roster as a Linux spreadsheet copies it: rows ended by LF. The phone gets CR LF rows in
# code page 936, as the Windows program sends them.
printf '4401\t张三\t440101200001011234\t一班\n4401\t李四\t440101200002022345\t二班\n' >"$work/roster.txt"
"$phone" roster --raw --timeout 30 127.0.0.1:3456 >"$work/roster.out" 2>"$work/roster.err" &
phone_roster=$!
check "the phone's roster connection stands" wait_for 20 grep -q "waiting for the roster" "$work/roster.err"
check "the roster goes onto the clipboard" test "$(probe clipboard "$work/roster.txt")" = ok
check "the roster box is right-clicked" test "$(probe paste roster)" = ok
check "粘贴 in the context menu pastes the rows into the roster box" \
  wait_for 10 text_is roster "$(sed -z 's/\n/\\n/g' "$work/roster.txt")"
check "传名册到手机 is clicked" test "$(probe click send)" = ok
wait_for 20 bash -c "! kill -0 $phone_roster 2>/dev/null"
wait "$phone_roster"
check "quenmora-phone roster ends successfully" test $? -eq 0
{ printf 'STAT||'; sed 's/$/\r/' "$work/roster.txt" | iconv -f UTF-8 -t GBK; printf '||END'; } >"$work/roster.expected"
check "the phone receives STAT||, CR LF rows in code page 936 and ||END" cmp "$work/roster.expected" "$work/roster.out"

check "the program ends with its window" stop_program
finish
