#include "app/win32/dpi.h"

namespace quenmora::win32 {
namespace {

// Looks up a user32 function added after Windows 7; null where it is missing.
template <typename Function>
Function User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
  // Through void(*)(): the one function-pointer type every other one converts to cleanly.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

RECT FrameFor(RECT client, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjustForDpi = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  if (adjustForDpi)
    adjustForDpi(&client, style, FALSE, exStyle, static_cast<UINT>(dpi));
  else
    AdjustWindowRectEx(&client, style, FALSE, exStyle);
  return client;
}

}  // namespace

int SystemDpi() {
  static const auto getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  if (getDpiForSystem) return static_cast<int>(getDpiForSystem());
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kLayoutDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kLayoutDpi;
}

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

SIZE OuterSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
  const RECT outer = FrameFor(RECT{0, 0, Scale(clientWidth, dpi), Scale(clientHeight, dpi)}, style, exStyle, dpi);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

HFONT CreateMessageFont(int dpi) {
  static const auto forDpi = User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
    return CreateFontIndirectW(&metrics.lfMessageFont);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  // Without the per-DPI query the metrics are for the system DPI.
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

void MoveToSuggestedRect(HWND window, LPARAM suggestedRect) {
  const RECT* rect = reinterpret_cast<const RECT*>(suggestedRect);
  SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quenmora::win32
