#!/usr/bin/env bash
# quenmora-check against rosters in each encoding it reads: the report in UTF-8, status 0 when
# every student has a photo and 1 when any lacks one; 2, saying why, for what it cannot use.
set -uo pipefail
check_tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# runs EXPECTED ARGS...: quenmora-check ARGS ends with EXPECTED; its output goes to $work/out.
runs() {
  local expected=$1; shift
  "$check_tool" "$@" >"$work/out" 2>"$work/err"
  local status=$?
  [ "$status" -eq "$expected" ] && return 0
  echo "  got status $status from: $*"; cat "$work/out" "$work/err"
  return 1
}
# encoded ENCODING TEXT FILE: TEXT written to FILE in ENCODING, as Python names it.
encoded() { python3 -c 'import sys; open(sys.argv[3], "wb").write(sys.argv[2].encode(sys.argv[1]))' "$@"; }

mkdir -p "$work/photos"
printf '\xff\xd8\xff\xda\x00\x02dd\xff\xd9' >"$work/photos/张三.jpg"
one=$'4401\t张三\t11010519491231002X\t一班\r\n'
two=$one$'4401\t李四\t\t二班\r\n'

for encoding in utf-8 utf-8-sig gbk utf-16; do
  encoded "$encoding" "$one" "$work/one.txt"
  runs 0 "$work/one.txt" "$work/photos" || fail "$encoding: a roster whose students all have photos"
  [ "$(cat "$work/out")" = "名册共1人，有照片1人，还缺0人" ] || fail "$encoding: the report is its first line alone"
  encoded "$encoding" "$two" "$work/two.txt"
  runs 1 "$work/two.txt" "$work/photos" || fail "$encoding: a roster with a student lacking a photo"
  head -n 1 "$work/out" | grep -qx "名册共2人，有照片1人，还缺1人" || fail "$encoding: the first line counts"
  grep -qx "    李四 无身份证号" "$work/out" || fail "$encoding: the missing student is named"
done

runs 0 --version && grep -qx "quenmora-check [0-9.]*" "$work/out" || fail "--version"
for args in "" "$work/one.txt" "$work/one.txt $work/photos --export" "$work/gone.txt $work/photos" \
  "$work/one.txt $work/gone" "$work/photos $work/photos" "$work/one.txt $work/one.txt"; do
  # shellcheck disable=SC2086  # the arguments are split at their spaces on purpose
  runs 2 $args && [ -s "$work/err" ] || fail "refused with a reason: quenmora-check $args"
done

[ "$failures" -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
