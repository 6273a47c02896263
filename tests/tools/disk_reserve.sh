#!/usr/bin/env bash
# The receive directory on a small file system (a 160 MiB tmpfs in a mount namespace of its own):
# a photo that would eat into the last 100 MiB stops there, named incomplete; a file start on a
# disk already below that is refused and counted; the connection goes on.
if [ -z "${QUENMORA_IN_MOUNT_NAMESPACE:-}" ]; then
  # As root a mount namespace is enough; otherwise a user namespace maps us to root in it.
  if [ "$(id -u)" -eq 0 ]; then namespace=(unshare --mount); else namespace=(unshare --user --map-root-user --mount); fi
  if ! "${namespace[@]}" true 2>/dev/null; then echo "SKIP: cannot make a mount namespace here"; exit 77; fi
  QUENMORA_IN_MOUNT_NAMESPACE=1 exec "${namespace[@]}" bash "$0" "$@"
fi
source "$(dirname "$0")/tool_test_lib.sh"

small_disk=$work/small
mkdir -p "$small_disk"
mount -t tmpfs -o size=160m quenmora-test "$small_disk" || { echo "SKIP: cannot mount a tmpfs"; exit 77; }
# Unmounted, once the receiver is gone, before the work directory goes.
trap '[ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null; wait; umount "$small_disk"; cleanup' EXIT

photos=$work/photos
mkdir -p "$photos"
jpeg() { { printf '\xff\xd8\xff\xe0'; head -c "$1" /dev/urandom; } >"$photos/$2"; }
jpeg $((120 << 20)) 大.jpg
jpeg 100000 小.jpg
free_bytes() { df -PB1 "$small_disk" | awk 'NR == 2 {print $4}'; }
reserve=$((100 << 20))

start_receiver "$small_disk"
check "the phone's send goes through to its end" \
  "$phone" send --no-pause "127.0.0.1:$port" "$photos/大.jpg" "$photos/小.jpg"
check "both file starts are counted" wait_for 10 grep -q '^#2 小\.jpg' "$receiver_log"
check "the reserve line names the receive directory" \
  wait_for 10 grep -q "^接收目录所在磁盘空间不足：$small_disk" "$receiver_log"
check "the stopped photo is named incomplete" wait_for 10 grep -q '^照片未接收完整：.*大\.jpg' "$receiver_log"
check "the file start below the reserve made no file" test ! -e "$small_disk/小.jpg"
written=$(stat -c %s "$small_disk/大.jpg")
check "the stopped photo is the beginning of the sent one" cmp -s -n "$written" "$photos/大.jpg" "$small_disk/大.jpg"
# Free space is looked at every 8 MiB written, so the disk may go that far (and a chunk) below.
check "the disk keeps its reserve, less one check's worth ($(free_bytes) bytes free)" \
  test "$(free_bytes)" -ge $((reserve - (9 << 20)))
check "the photo stopped near the reserve, not long before ($written bytes)" test "$(free_bytes)" -lt $((reserve + (9 << 20)))
check "Ctrl-C stops the receiver with status 0" stop_receiver
[ "$failures" -eq 0 ] || cat "$receiver_log"
finish
