#!/usr/bin/env bash
# Starts the real Linux program under Xvfb with the Chinese font, saves a PNG of the main window
# and of the folder picker, and checks that the layout's colours are on screen.
# Usage: screenshots.sh QUENMORA PROBE_LIBRARY OUTDIR
source "$(dirname "$0")/x_session.sh" "$1" "$2"
source "$(dirname "$0")/../../scripts/screenshot-colours.sh"
out=$3
mkdir -p "$out" "$home/Pictures/照片/2024届" "$home/Pictures/作业"

# shot WINDOW FILE: the window's client area cut from the screen (without a window manager
# there is no frame to show).
shot() {
  local x y w h
  read -r x y w h < <(probe rect "$1") || return 1
  import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$2"
}
picker_open() { [ "$(probe picker)" = open ]; }
picker_closed() { [ "$(probe picker)" = closed ]; }

start_display
start_program
check "the information box gets the instructions" wait_for 10 info_has_instructions
main_shot=$out/qt-main-window.png
# A busy machine may take a moment to paint; a few tries before calling it a failure.
for _ in $(seq 10); do
  sleep 0.3
  shot main "$main_shot" && colours_ok "$main_shot" && break
done
check "a screenshot of the main window is saved" test -s "$main_shot" && echo "saved $main_shot"
check "the layout's colours are on screen" colours_ok "$main_shot" report

check "选择... opens the folder picker" test "$(probe click choose)" = ok
check "the folder picker is shown" wait_for 20 picker_open
sleep 0.5
picker_shot=$out/qt-folder-picker.png
check "a screenshot of the folder picker is saved" shot picker "$picker_shot" && echo "saved $picker_shot"
check "取消 closes the folder picker" test "$(probe click cancel)" = ok
check "the folder picker closes" wait_for 20 picker_closed
check "the program ends with its window" stop_program
finish
