#pragma once
// The window procedure of a window class whose windows each belong to an object of type T,
// passed as the creation parameter. From WM_NCCREATE on, the object knows its window (window_)
// and handles every message (Handle); T befriends this function.
#include <windows.h>

namespace quenmora::win32 {

template <typename T>
LRESULT CALLBACK ObjectWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quenmora::win32
