#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a Linux package would hold: the
# program, a desktop entry that desktop-file-validate accepts, and the icon in every size.
# Usage: install.sh BUILD_DIR
set -uo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
check() {  # DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }
check "the program is in bin" test -x "$prefix/bin/quenmora"
entry=$prefix/share/applications/quenmora.desktop
check "the desktop entry is valid" desktop-file-validate "$entry"
starts_with_icon() { grep -qx 'Exec=quenmora' "$entry" && grep -qx 'Icon=quenmora' "$entry"; }
check "the desktop entry starts quenmora with its icon" starts_with_icon
check "the desktop entry has a Chinese name" grep -q '^Name\[zh_CN\]=' "$entry"
check "the scalable icon is there" test -s "$prefix/share/icons/hicolor/scalable/apps/quenmora.svg"
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/quenmora.png
  check "the ${size}-pixel icon is ${size}x${size}" test "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}"
done
echo "$failures failed"
[ "$failures" -eq 0 ]
