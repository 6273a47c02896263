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

send_photos "$received"

# The roster as a Linux spreadsheet copies it: rows ended by LF. The phone gets CR LF rows in
# code page 936, as the Windows program sends them.
printf '4401\t张三\t440101200001011234\t一班\n4401\t李四\t440101200002022345\t二班\n' >"$work/roster.txt"
await_roster
check "the roster goes onto the clipboard" test "$(probe clipboard "$work/roster.txt")" = ok
check "the roster box is right-clicked" test "$(probe paste roster)" = ok
check "粘贴 in the context menu pastes the rows into the roster box" \
  wait_for 10 text_is roster "$(sed -z 's/\n/\\n/g' "$work/roster.txt")"
check "传名册到手机 is clicked" test "$(probe click send)" = ok
sed 's/$/\r/' "$work/roster.txt" >"$work/roster-crlf.txt"
roster_arrives "$work/roster-crlf.txt"

check "the program ends with its window" stop_program
finish
