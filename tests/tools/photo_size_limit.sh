#!/usr/bin/env bash
# One endless "photo" over loopback: a 300 MiB stream stops at 256 MiB, is named incomplete, and
# its connection is closed with its own line. The next connection is received as usual.
source "$(dirname "$0")/tool_test_lib.sh"

received=$work/received
mkdir -p "$received"
# 256 MiB written here, and the receiver keeps 100 MiB of the disk free.
free_mib=$(df -Pm "$work" | awk 'NR == 2 {print $4}')
if [ "$free_mib" -lt 500 ]; then echo "SKIP: only $free_mib MiB free beside $work"; exit 77; fi

big=$work/无尽.jpg
{ printf '\xff\xd8\xff\xe0'; head -c $((300 << 20)) /dev/zero | tr '\0' '\377'; } >"$big"
small=$work/张三.jpg
{ printf '\xff\xd8\xff\xe0'; head -c 50000 /dev/urandom; } >"$small"

start_receiver "$received"
# The receiver closes the connection under the phone, so the send fails; only what arrives counts.
"$phone" send --no-pause "127.0.0.1:$port" "$big" >"$work/phone.log" 2>&1
limit=$((256 << 20))
file_size() { stat -c %s "$received/无尽.jpg" 2>/dev/null || echo 0; }
check "the too-large line names the phone's address" \
  wait_for 30 grep -q '^照片过大，已断开连接：127\.0\.0\.1' "$receiver_log"
check "the photo is named incomplete" wait_for 10 grep -q "^照片未接收完整：.*无尽\.jpg" "$receiver_log"
check "the file stops at exactly 256 MiB" wait_for 10 eval '[ "$(file_size)" -eq '"$limit"' ]'
check "what was written is the stream's beginning" cmp -s -n "$limit" "$big" "$received/无尽.jpg"

check "a photo on a new connection still arrives" "$phone" send --no-pause "127.0.0.1:$port" "$small"
check "... byte for byte" wait_for 10 cmp -s "$small" "$received/张三.jpg"
check "Ctrl-C stops the receiver with status 0" stop_receiver
[ "$failures" -eq 0 ] || cat "$receiver_log" "$work/phone.log"
finish
