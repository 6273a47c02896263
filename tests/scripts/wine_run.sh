#!/usr/bin/env bash
# scripts/wine-run with a fake Wine: a program Wine never started is started once more, and only
# that one. Usage: wine_run.sh PATH_TO_WINE_RUN
set -uo pipefail
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
# The fake loaders log their name, then act out a run that never started (the first $NEVER calls;
# $PRINTED is what the program printed before that), or a program that prints "ran", reads its
# input and exits with status 5.
for name in wine wine64; do cat >"$work/$name" <<EOF
#!/bin/bash
echo $name >>"$work/calls"
if [ "\$(wc -l <"$work/calls")" -le "\$NEVER" ]; then
  printf "\$PRINTED"'Application could not be started, or no application associated with the specified file.\nShellExecuteEx failed: Internal error.\r\n\n'; exit 1; fi
echo ran; cat; exit 5
EOF
chmod +x "$work/$name"; done
pe() { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\0\0\0PE\0\0%b' "$1"; }  # MACHINE
pe '\x4c\x01' >"$work/x86.exe"; pe '\x64\x86' >"$work/x64.exe"
failures=0
# expect NEVER PRINTED PROGRAM STATUS CALLS STARTED_AGAIN: how a run went, from a fresh start
expect() {
  rm -f "$work/calls"; : >"$work/log"
  out=$(echo input | NEVER=$1 PRINTED=$2 PATH=$work:$PATH WINE_RUN_WINE64=$work/wine64 WINE_RUN_LOG=$work/log \
    "$wine_run" "$work/$3" 2>"$work/err"); status=$?
  again=$(grep -c "^wine-run: started again: $work/$3\$" "$work/err" "$work/log" | paste -sd' ')
  got="$status $(paste -sd, "$work/calls") ${again//$work\//}"
  [ "$got" = "$4 $5 $6" ] || { echo "FAIL: NEVER=$1 PRINTED=$2 $3: got '$got', expected '$4 $5 $6'"; failures=$((failures + 1)); }
  [ "$status" -ne 5 ] || [[ $out == *$'ran\ninput' ]] || { echo "FAIL: output '$out'"; failures=$((failures + 1)); }
}
wine_run=$1
expect 0 '' x86.exe 5 wine "err:0 log:0"
expect 0 '' x64.exe 5 wine64 "err:0 log:0"
expect 1 '' x86.exe 5 wine,wine "err:1 log:1"
expect 2 '' x64.exe 1 wine64,wine64 "err:1 log:1"
expect 1 'partly\n' x64.exe 1 wine64 "err:0 log:0"
[ "$failures" -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
