#!/usr/bin/env bash
# Checks what ./release wrote into DIST as a school gets it: the sums, each zip's contents, its
# programs' icon and version resource, that they start under Wine, and that the .deb installs,
# starts offscreen and uninstalls cleanly. Installs the .deb on this machine for a moment (root,
# or through sudo). Usage: tests/release/check.sh DIST
set -uo pipefail
dist=$(realpath "$1")
root=$(realpath "$(dirname "$0")/../..")
wine=$root/scripts/wine
work=$(mktemp -d)
xvfb="" program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0 skipped=0
check() {  # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
skip() { echo "SKIPPED: $1"; skipped=$((skipped + 1)); }
# stays_up SECONDS COMMAND...: COMMAND is still running after SECONDS; it is ended then.
stays_up() {
  local seconds=$1; shift
  "$@" >"$work/started.log" 2>&1 &
  program=$!
  stays_running "$seconds"
}
# stays_running SECONDS: the started program is still running after SECONDS; it is ended then.
stays_running() {
  sleep "$1"
  kill -0 "$program" 2>/dev/null || { program=""; cat "$work/started.log"; return 1; }
  kill "$program"; wait "$program" 2>/dev/null; program=""
}

version=$(sed -n 's/^project(Quenmora VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
zips=(quenmora-$version-windows-x64.zip quenmora-$version-windows-x86.zip)
deb=quenmora_${version}_amd64.deb
echo "version $version"

# The sums: one for each artefact, and each right.
summed() { (cd "$dist" && awk '{print $2}' SHA256SUMS | sort | tr '\n' ' '); }
check "SHA256SUMS names the two zips and the .deb" \
  test "$(summed)" = "$(printf '%s\n' "${zips[@]}" "$deb" | sort | tr '\n' ' ')"
check "every sum matches" bash -c "cd '$dist' && sha256sum --quiet -c SHA256SUMS"

# zip_names ZIP: its names, read in code page 936 as Chinese Windows reads them.
zip_names() {
  python3 -c 'import sys, zipfile
for name in sorted(zipfile.ZipFile(sys.argv[1], metadata_encoding="cp936").namelist()): print(name)' "$1"
}
# pe_machine EXE: the CPU a Windows program is for, from its PE header.
pe_machine() {
  python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read(4096)
at = struct.unpack_from("<I", data, 0x3c)[0]
assert data[at:at + 4] == b"PE\0\0"
print({0x8664: "x64", 0x14c: "x86"}.get(struct.unpack_from("<H", data, at + 4)[0], "other"))' "$1"
}
# has_resources EXE: an icon group (type 14) and a version resource (type 16) holding VERSION.
has_resources() {
  local table
  table=$(x86_64-w64-mingw32-objdump -p "$1") || return 1
  # The resource types are the table's entries with the least indent.
  grep -Eq '^[0-9a-f]+   Entry: ID: 0x0*e,' <<<"$table" &&
    grep -Eq '^[0-9a-f]+   Entry: ID: 0x0*10,' <<<"$table" &&
    python3 -c 'import sys
data = open(sys.argv[1], "rb").read()
sys.exit(("ProductVersion\0" + sys.argv[2] + "\0").encode("utf-16-le") not in data)' "$1" "$version"
}
same_as_tree() { cmp -s "$1" "$2"; }
# helper_for_windows CMD: the firewall helper as cmd on a Chinese Windows reads it: Chinese text
# in code page 936 (so not UTF-8), every line ended by CR LF, the tree's source once decoded, and
# naming the program and the port.
helper_for_windows() {
  python3 -c 'import sys
data = open(sys.argv[1], "rb").read()
try:
    data.decode("utf-8")
    sys.exit("valid UTF-8, not code page 936")
except UnicodeDecodeError:
    pass
text = data.decode("gbk")
if text.count("\n") == 0 or text.count("\r\n") != text.count("\n"):
    sys.exit("not every line ends with CR LF")
if text.replace("\r\n", "\n") != open(sys.argv[2], encoding="utf-8").read():
    sys.exit("differs from " + sys.argv[2])
for needed in ("quenmora.exe", "3456"):
    if needed not in text:
        sys.exit("does not name " + needed)' "$1" "$root/packaging/windows/allow-phone-connections.cmd.in"
}
# page_covers_texts PAGE: the web page, as a browser shows its words, still holds every text.
page_covers_texts() {
  python3 -c 'import html, re, sys
print(html.unescape(re.sub(r"<[^>]+>", "", open(sys.argv[1], encoding="utf-8").read())))' "$1" >"$work/page.txt" &&
    python3 "$root/tests/release/guide_covers_texts.py" "$work/page.txt" "$root/app/texts.h" "$root/link/reception/notices.h" >/dev/null
}

for zip in "${zips[@]}"; do
  arch=${zip%.zip}; arch=${arch##*-}
  folder=${zip%.zip}
  expected=$(printf '%s\n' "$folder/images/folder-picker.png" "$folder/images/main-window.png" \
    "$folder/images/main-window-phone-connected.png" \
    "$folder/quenmora-phone.exe" "$folder/quenmora.exe" "$folder/允许手机连接.cmd" \
    "$folder/使用说明.html" "$folder/使用说明.md" | sort)
  check "$zip holds the two programs, the firewall helper and the guide, in its own folder" \
    test "$(zip_names "$dist/$zip")" = "$expected"
  python3 -c 'import sys, zipfile
zipfile.ZipFile(sys.argv[1], metadata_encoding="cp936").extractall(sys.argv[2])' "$dist/$zip" "$work/$arch"
  out=$work/$arch/$folder
  check "$zip: its guide is the tree's docs/使用说明.md" same_as_tree "$out/使用说明.md" "$root/docs/使用说明.md"
  check "$zip: 允许手机连接.cmd is code page 936 with CR LF, for quenmora.exe and TCP 3456" \
    helper_for_windows "$out/允许手机连接.cmd"
  check "$zip: the web page of the guide shows its pictures" \
    grep -q 'src="images/main-window.png"' "$out/使用说明.html"
  check "$zip: the web page of the guide shows every text of the program" page_covers_texts "$out/使用说明.html"
  for exe in quenmora quenmora-phone; do
    check "$zip: $exe.exe is for $arch" test "$(pe_machine "$out/$exe.exe")" = "$arch"
    check "$zip: $exe.exe has the icon and version $version" has_resources "$out/$exe.exe"
  done
done

# Both zips' programs under Wine, with a display for the window.
export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wine-prefix" "$WINEPREFIX"
display_file=$work/display
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$display_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$display_file")
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
phone_version() { [ "$("$wine" "$1" --version </dev/null 2>/dev/null | tr -d '\r')" = "quenmora-phone $version" ]; }
# opens_window COMMAND...: COMMAND shows the main window (an X window named Quenmora) within 30
# seconds and is still running a second after; it is ended then.
opens_window() {
  "$@" >"$work/started.log" 2>&1 &
  program=$!
  local deadline=$((SECONDS + 30))
  until xwininfo -root -tree 2>/dev/null | grep -q '"Quenmora"'; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$program" 2>/dev/null; then
      kill "$program" 2>/dev/null; program=""; cat "$work/started.log"; return 1
    fi
    sleep 0.2
  done
  stays_running 1
}
# The programs listen on port 3456, which the other checkouts' tests take turns with.
exec 9>/tmp/quenmora-port-3456.lock
flock 9
for arch in x64 x86; do
  out=$work/$arch/quenmora-$version-windows-$arch
  if [ "$arch" = x86 ] && ! "$root/scripts/runs-32-bit-wine"; then
    skip "the x86 programs under Wine: the 32-bit Wine cannot run here (not installed, or the kernel runs no 32-bit programs)"
    continue
  fi
  check "$arch: quenmora-phone.exe --version says $version" phone_version "$out/quenmora-phone.exe"
  check "$arch: quenmora.exe opens its window and stays up" opens_window "$wine" "$out/quenmora.exe"
done
wineserver -k 2>/dev/null

# The .deb: what it declares and holds, then installed, started and removed.
field() { dpkg-deb -f "$dist/$deb" "$1"; }
check "the .deb is version $version" test "$(field Version)" = "$version"
depends=$(field Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 qt6-qpa-plugins fonts-wqy-zenhei; do
  check "the .deb depends on $needed" grep -q "$needed" <<<"$depends"
done
contents=$(dpkg-deb -c "$dist/$deb" | awk '{print $NF}')
for file in ./usr/bin/quenmora ./usr/bin/quenmora-phone ./usr/bin/quenmora-receive ./usr/bin/quenmora-check \
  ./usr/share/applications/quenmora.desktop ./usr/share/icons/hicolor/scalable/apps/quenmora.svg \
  ./usr/share/icons/hicolor/48x48/apps/quenmora.png ./etc/ufw/applications.d/quenmora \
  ./usr/lib/firewalld/services/quenmora.xml; do
  check "the .deb holds $file" grep -qx "$file" <<<"$contents"
done
# deb_file PATH: one file of the .deb, as it would be installed.
deb_file() { dpkg-deb --fsys-tarfile "$dist/$deb" | tar -xO "$1"; }
ufw_profile_allows_3456() { deb_file ./etc/ufw/applications.d/quenmora | grep -qx 'ports=3456/tcp'; }
firewalld_service_allows_3456() {
  deb_file ./usr/lib/firewalld/services/quenmora.xml | python3 -c 'import sys, xml.etree.ElementTree as tree
ports = [(p.get("protocol"), p.get("port")) for p in tree.parse(sys.stdin).getroot().iter("port")]
sys.exit(ports != [("tcp", "3456")])'
}
check "the .deb's ufw profile allows TCP 3456" ufw_profile_allows_3456
check "the .deb's firewalld service allows TCP 3456" firewalld_service_allows_3456

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
installed() { dpkg-query -W -f='${Status}' quenmora 2>/dev/null | grep -q 'install ok installed'; }
# dpkg takes no turn of its own: another apt-get on the machine makes it fail at once.
dpkg_retrying() {
  for _ in $(seq 60); do
    $sudo dpkg "$@" >"$work/dpkg.log" 2>&1 && return 0
    grep -q 'lock' "$work/dpkg.log" || { cat "$work/dpkg.log"; return 1; }
    sleep 5
  done
  cat "$work/dpkg.log"; return 1
}
if installed; then
  echo "FAILED: quenmora is already installed on this machine; remove it (dpkg -r quenmora) to test the .deb"
  failures=$((failures + 1))
else
  check "dpkg -i installs the .deb" dpkg_retrying -i "$dist/$deb"
  check "quenmora-phone --version says $version" test "$(quenmora-phone --version)" = "quenmora-phone $version"
  check "quenmora-receive --version says $version" test "$(quenmora-receive --version)" = "quenmora-receive $version"
  check "quenmora-check --version says $version" test "$(quenmora-check --version)" = "quenmora-check $version"
  mkdir -p "$work/home"
  check "the installed program starts offscreen and stays up" \
    stays_up 3 env -u DISPLAY HOME="$work/home" QT_QPA_PLATFORM=offscreen /usr/bin/quenmora
  files=$(dpkg -L quenmora | while read -r path; do [ -d "$path" ] || echo "$path"; done)
  check "dpkg -r removes it" dpkg_retrying -r quenmora
  check "the package is gone" bash -c "! dpkg-query -W -f='\${Status}' quenmora 2>/dev/null | grep -q 'install ok installed'"
  left=$(while read -r path; do [ -e "$path" ] && echo "$path"; done <<<"$files")
  check "none of its $(wc -l <<<"$files") files is left" test -z "$left"
  [ -n "$left" ] && echo "left: $left"
  $sudo dpkg --purge quenmora >/dev/null 2>&1
fi
flock -u 9

echo "$failures failed, $skipped skipped"
[ "$failures" -eq 0 ]
