#pragma once
#include <windows.h>

namespace quenmora::win32 {

// Makes `box` (a BS_GROUPBOX button) paint its own etched frame and title, with the colours its
// parent gives in WM_CTLCOLORSTATIC. The system's group box ignores the title colour whenever
// visual styles (or Wine's drawing) are in play.
void DrawGroupBoxYourself(HWND box);

}  // namespace quenmora::win32
