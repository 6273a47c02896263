#pragma once
// A top-level window made for a layout table: its class registered on first use, its frame
// sized so that the layout fits at the DPI the window is shown at.
#include <windows.h>

#include "app/layout.h"

namespace quenmora::win32 {

struct WindowKind {
  const wchar_t* className;
  WNDPROC procedure;
  DWORD style;
  DWORD exStyle;
  bool applicationIcon = false;  // in the caption and on the taskbar
};

// Creates a hidden window of `kind` showing `layout`, owned by `owner` (or none), passing
// `creationParameter` to WM_NCCREATE. Position and size are the layout's at the owner's DPI, else
// the system's; a window that comes up on a monitor of another DPI is then resized for that one.
// Null when the window could not be made.
HWND CreateLayoutWindow(HINSTANCE instance, const WindowKind& kind, const app::WindowSpec& layout,
                        HWND owner, void* creationParameter);

}  // namespace quenmora::win32
