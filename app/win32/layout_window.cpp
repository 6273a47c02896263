#include "app/win32/layout_window.h"

#include <string>

#include "app/win32/dpi.h"
#include "app/win32/wide_text.h"

namespace quenmora::win32 {
namespace {

void RegisterOnce(HINSTANCE instance, const WindowKind& kind) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExW(instance, kind.className, &windowClass)) return;
  windowClass.lpfnWndProc = kind.procedure;
  windowClass.hInstance = instance;
  // The program's own icon; the tests' executables have none and get Windows' default.
  if (kind.applicationIcon) {
    windowClass.hIcon = LoadIconW(instance, L"QUENMORA");
    if (!windowClass.hIcon) windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  }
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kind.className;
  RegisterClassExW(&windowClass);
}

SIZE LayoutOuterSize(const WindowKind& kind, const app::WindowSpec& layout, int dpi) {
  return OuterSize(layout.clientWidth, layout.clientHeight, kind.style, kind.exStyle, dpi);
}

}  // namespace

HWND CreateLayoutWindow(HINSTANCE instance, const WindowKind& kind, const app::WindowSpec& layout,
                        HWND owner, void* creationParameter) {
  RegisterOnce(instance, kind);
  const int dpi = owner ? WindowDpi(owner) : SystemDpi();
  const SIZE size = LayoutOuterSize(kind, layout, dpi);
  const std::wstring caption = Wide(layout.caption);
  const HWND window = CreateWindowExW(kind.exStyle, kind.className, caption.c_str(), kind.style,
                                      Scale(layout.left, dpi), Scale(layout.top, dpi), size.cx,
                                      size.cy, owner, nullptr, instance, creationParameter);
  if (!window) return nullptr;
  // Windows sends no WM_DPICHANGED for the monitor a window is created on.
  if (const int own = WindowDpi(window); own != dpi) {
    const SIZE fitted = LayoutOuterSize(kind, layout, own);
    SetWindowPos(window, nullptr, 0, 0, fitted.cx, fitted.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return window;
}

}  // namespace quenmora::win32
