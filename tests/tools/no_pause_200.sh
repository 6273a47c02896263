#!/usr/bin/env bash
# A phone that does not pause between messages: the network merges "END||", "STAT||name" and
# photo bytes into shared chunks. All 200 photos must still arrive byte-identical.
source "$(dirname "$0")/tool_test_lib.sh"

photos=$work/photos received=$work/received
mkdir -p "$photos" "$received"
python3 - "$photos" <<'PY'
import os, random, sys
rng = random.Random(3456)
for i in range(200):
    size = rng.choice([0, 1, 100, 4096, 65535]) if i % 10 == 0 else rng.randrange(2_000, 400_000)
    with open(os.path.join(sys.argv[1], f"学生{i:03d}.jpg"), "wb") as f:
        f.write(b"\xff\xd8\xff\xe0" + rng.randbytes(size))
PY

start_receiver "$received"
check "send --no-pause exits 0" "$phone" send --no-pause "127.0.0.1:$port" "$photos"/*.jpg
digests() { (cd "$1" && sha256sum -- *.jpg 2>/dev/null); }
# The last photo may still be on its way to disk when the sender exits.
same_photos() { diff -q <(digests "$photos") <(digests "$received") >/dev/null; }
check "every photo arrives byte-identical under its name" wait_for 30 same_photos
check "200 file starts are counted" test "$(grep -c '^#' "$receiver_log")" -eq 200
check "Ctrl-C stops the receiver with status 0" stop_receiver
[ "$failures" -eq 0 ] || tail -5 "$receiver_log"
finish
