#pragma once
#include <windows.h>

namespace quenmora::win32 {

// The program's message loop: runs until `mainWindow` is gone (or a quit arrives) and returns
// the exit code. Tab and Shift+Tab move the focus between the window's controls.
int RunMessageLoop(HWND mainWindow);

}  // namespace quenmora::win32
