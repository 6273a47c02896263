#!/usr/bin/env bash
# quenmora-phone sends 20 photos with Chinese names to quenmora-receive: 20 files with the same
# bytes under the same names, a line per file start, a notice for an unsafe name, and a clean
# stop on Ctrl-C.
source "$(dirname "$0")/tool_test_lib.sh"

photos=$work/photos received=$work/received
mkdir -p "$photos" "$received"
names=("张三.jpg" "李 四.jpg" "王五+1.jpg" "赵六 100%.jpg" "（二）班_钱七.jpeg" "empty.jpg")
for i in $(seq -w 1 14); do names+=("学生$i.jpg"); done
for n in "${names[@]}"; do
  { printf '\xff\xd8\xff\xe0'; head -c $((RANDOM * 8)) /dev/urandom; } >"$photos/$n"
done
: >"$photos/empty.jpg"
head -c 2000000 /dev/urandom >>"$photos/学生01.jpg"  # many reads' worth of data

start_receiver "$received"
paths=()
for n in "${names[@]}"; do paths+=("$photos/$n"); done
check "send exits 0" "$phone" send --pause-ms 60 "127.0.0.1:$port" "${paths[@]}"

all_identical() {
  for n in "${names[@]}"; do cmp -s "$photos/$n" "$received/$n" || return 1; done
}
check "all 20 files arrive with identical bytes" wait_for 20 all_identical
check "no other file is created" test "$(ls "$received" | wc -l)" -eq 20

expected_lines=$work/expected-lines
for i in "${!names[@]}"; do echo "#$((i + 1)) ${names[$i]}"; done >"$expected_lines"
check "one line per file start, with count and UTF-8 name" \
  diff "$expected_lines" <(grep '^#' "$receiver_log")

# A name that would leave the receive directory is refused, shown, and still counted.
check "raw-name send exits 0" "$phone" send --no-pause --raw-name "../escaped.jpg" \
  "127.0.0.1:$port" "$photos/张三.jpg"
check "the refusal is printed in UTF-8" \
  wait_for 10 grep -qx '已拒绝不安全的文件名：../escaped.jpg' "$receiver_log"
check "nothing is written outside the receive directory" test ! -e "$work/escaped.jpg"

check "Ctrl-C stops the receiver with status 0" stop_receiver
check "the receiver reports 21 file starts" grep -qx 'stopped after 21 file start(s)' "$receiver_log"
[ "$failures" -eq 0 ] || cat "$receiver_log"
finish
