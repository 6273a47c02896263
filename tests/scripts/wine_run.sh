#!/usr/bin/env bash
# scripts/wine-run with fake loaders that log their name, act out a program Wine never started for
# the first $NEVER calls (after printing $PRINTED), then print "ran" and their input and exit 5.
set -uo pipefail
wine_run=$1 work=$(mktemp -d) failures=0; trap 'rm -rf "$work"' EXIT
printf '%s\n' '#!/bin/bash' 'echo "${0##*/}" >>"${0%/*}/calls"' \
  '[ "$(wc -l <"${0%/*}/calls")" -gt "$NEVER" ] && { echo ran; cat; exit 5; }' \
  'printf "${PRINTED}Application could not be started, or no application associated with the specified file.\nShellExecuteEx failed: Internal error.\r\n\n"; exit 1' >"$work/wine"
chmod +x "$work/wine"; cp "$work/wine" "$work/wine64"
pe() { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\0\0\0PE\0\0%b' "$1"; }  # MACHINE
pe '\x4c\x01' >"$work/x86.exe"; pe '\x64\x86' >"$work/x64.exe"
# expect NEVER PRINTED PROGRAM  STATUS LOADERS RESTARTS ("started again" lines, stderr and log)
expect() {
  rm -f "$work/calls"; : >"$work/log"
  out=$(echo input | NEVER=$1 PRINTED=$2 PATH=$work:$PATH WINE32_LOADER=$work/wine WINE64_LOADER=$work/wine64 \
    WINE_RUN_LOG=$work/log "$wine_run" "$work/$3" 2>"$work/err"); status=$?
  got="$status $(paste -sd, "$work/calls") $(cat "$work/err" "$work/log" | grep -c "^wine-run: started again: $work/$3\$")"
  [[ $got == "$4 $5 $6" && ( $status -ne 5 || $out == *$'ran\ninput' ) ]] ||
    { echo "FAIL: NEVER=$1 PRINTED=$2 $3: got '$got' and '$out', expected '$4 $5 $6'"; failures=$((failures + 1)); }
}
expect 0 '' x86.exe 5 wine 0
expect 0 '' x64.exe 5 wine64 0
expect 1 '' x86.exe 5 wine,wine 2
expect 2 '' x64.exe 1 wine64,wine64 2
expect 1 'partly\n' x64.exe 1 wine64 0
exit $((failures > 0))
