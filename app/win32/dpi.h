#pragma once
// Everything the layout tables give is in pixels at 96 DPI; these scale it to a window's DPI.
// Functions newer than Windows 7 are looked up at run time.
#include <windows.h>

namespace quenmora::win32 {

inline constexpr int kLayoutDpi = 96;

int SystemDpi();
int WindowDpi(HWND window);
inline int Scale(int pixels, int dpi) { return MulDiv(pixels, dpi, kLayoutDpi); }

// The outer size of a window whose frame has `style`/`exStyle` and whose client area is
// `clientWidth` × `clientHeight` at 96 DPI, scaled to `dpi`.
SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

// WM_DPICHANGED: where and how large Windows suggests the window be at its new DPI.
void MoveToSuggestedRect(HWND window, LPARAM suggestedRect);

// The system's message font at `dpi`: it shows Chinese on every Windows.
HFONT CreateMessageFont(int dpi);

}  // namespace quenmora::win32
