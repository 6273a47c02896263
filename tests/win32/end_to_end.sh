#!/usr/bin/env bash
# The real quenmora.exe under Wine, end to end: drive D: of the prefix is a temporary folder,
# the Linux quenmora-phone sends photos with Chinese names and then waits for the roster, and
# quenmora-probe reads and drives the window from outside.
# Usage: end_to_end.sh QUENMORA_EXE PROBE_EXE QUENMORA_PHONE
# Needs WINEPREFIX (made by scripts/wine-prefix) and DISPLAY; exits 77 when quenmora-phone is absent.
set -uo pipefail
wine=$(dirname "$0")/../../scripts/wine
exe=$1 probe_exe=$2 phone=$3
if [ ! -x "$phone" ]; then
  echo "SKIP: $phone is missing; build the linux preset first (cmake --build --preset linux)"
  exit 77
fi
: "${WINEPREFIX:?WINEPREFIX must name a prefix made by scripts/wine-prefix}"
: "${DISPLAY:?DISPLAY must name an X display (Xvfb)}"
export WINEDEBUG=-all

work=$(mktemp -d)
received=$work/received
mkdir -p "$received"
drive="$WINEPREFIX/dosdevices/d:"
saved_drive=$(readlink "$drive" 2>/dev/null || true)
program=""
source "$(dirname "$0")/../phone_session.sh"

restore() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  if [ -n "$saved_drive" ]; then ln -sfn "$saved_drive" "$drive"; else rm -f "$drive"; fi
  rm -rf "$work"
}
trap restore EXIT

probe() { "$wine" "$probe_exe" "$@"; }

ln -sfn "$received" "$drive"
"$wine" "$exe" >/dev/null 2>&1 &
program=$!
check "the program starts and shows D:\\ as its receive directory" wait_for 60 probe wait 1
check "the receive directory box reads D:\\" text_is directory 'D:\'
check "the count label starts at 0" text_is count 0
check "the information box gets the instructions" wait_for 10 info_has_instructions

# Wine's real adapter list: the box begins with the bare line of an interface that has a default
# route, an ordinary adapter's, which comes before any other.
gateway_addresses() {  # default routes whose flags have RTF_GATEWAY (2)
  awk 'NR > 1 && $2 == "00000000" && $4 ~ /[2367ABEF]$/ {print $1}' /proc/net/route | sort -u |
    while read -r dev; do
      ip -o -4 addr show dev "$dev" 2>/dev/null | awk '{sub(/\/.*/, "", $4); print $4}'
    done
}
first_line_is_one_of() {  # ADDRESS...
  local first address
  first=$(probe text info | head -n 1 | tr -d '\r')
  for address; do [ "$first" = "本机IP：$address" ] && return 0; done
  echo "the first line is: $first"
  return 1
}
gateways=$(gateway_addresses)
if [ -n "$gateways" ]; then
  check "the information box begins with the address of an interface with a default route" \
    first_line_is_one_of $gateways
else
  echo "skipped: no interface with a default route and an address, for the first address line"
fi

send_photos "$received"

# The roster: the phone connects and waits; 按钮1 sends the roster box's text.
printf '4401\t张三\t440101200001011234\t一班\r\n4401\t李四\t440101200002022345\t二班' >"$work/roster.txt"
await_roster
check "the roster goes into 编辑框2" probe set roster "$("$wine" winepath -w "$work/roster.txt")"
check "按钮1 is pressed" probe click send
roster_arrives "$work/roster.txt"

check "the window closes on request" probe close
check "the program ends with its window" wait_for 20 bash -c "! kill -0 $program 2>/dev/null"
program=""
echo "$failures failed"
[ "$failures" -eq 0 ]
