# Shared by the end-to-end tests of both front ends, which run the real program and act as the
# phone with quenmora-phone: checks, bounded waits, and the phone's side of a session. Sourced;
# the caller sets $phone and $work and defines `probe text NAME` for the program's boxes.
failures=0
check() {  # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
wait_for() {  # SECONDS COMMAND...: until COMMAND succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
}
text_is() { [ "$(probe text "$1")" = "$2" ]; }
info_has_instructions() { [[ "$(probe text info)" == *"操作方法:"* ]]; }

# send_photos RECEIVED: three photos with Chinese names, one large enough to take many chunks,
# must arrive in RECEIVED byte for byte and be counted.
send_photos() {
  local received=$1 photos=$work/photos name
  mkdir -p "$photos"
  # Each begins as a JPEG does, with a byte that cannot go on a file name.
  jpeg() { { printf '\xff\xd8\xff\xe0'; head -c "$1" /dev/urandom; } >"$2"; }
  jpeg 300000 "$photos/张三.jpg"
  jpeg 20000 "$photos/李四 二班.jpg"
  jpeg 5000 "$photos/王五_2024.jpg"
  check "quenmora-phone sends three photos" \
    "$phone" send --pause-ms 50 127.0.0.1:3456 "$photos/张三.jpg" "$photos/李四 二班.jpg" "$photos/王五_2024.jpg"
  check "the count label shows 3" wait_for 20 text_is count 3
  for name in "张三.jpg" "李四 二班.jpg" "王五_2024.jpg"; do
    check "$name arrives byte for byte" wait_for 20 cmp -s "$photos/$name" "$received/$name"
  done
  check "nothing else is in the receive directory" test "$(ls "$received" | wc -l)" -eq 3
}

# The phone connects for the roster and waits for it; sets roster_phone.
await_roster() {
  "$phone" roster --raw --timeout 30 127.0.0.1:3456 >"$work/roster.out" 2>"$work/roster.err" &
  roster_phone=$!
  check "the phone's roster connection stands" wait_for 20 grep -q "waiting for the roster" "$work/roster.err"
}

# roster_arrives ROWS: once the program has sent the roster, the phone must have STAT||, ROWS
# (UTF-8 text with CR LF line ends) in code page 936, and ||END.
roster_arrives() {
  wait_for 20 bash -c "! kill -0 $roster_phone 2>/dev/null"
  wait "$roster_phone"
  check "quenmora-phone roster ends successfully" test $? -eq 0
  { printf 'STAT||'; iconv -f UTF-8 -t GBK "$1"; printf '||END'; } >"$work/roster.expected"
  check "the phone receives STAT||, the rows in code page 936 and ||END" cmp "$work/roster.expected" "$work/roster.out"
}
