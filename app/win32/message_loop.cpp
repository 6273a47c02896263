#include "app/win32/message_loop.h"

namespace quenmora::win32 {
namespace {

// IsDialogMessage would do this too, but it also makes Escape in a multi-line edit box close
// the window, which would end the program under the operator's hands.
bool MoveFocusOnTab(HWND mainWindow, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if (!IsChild(mainWindow, message.hwnd) || (GetKeyState(VK_CONTROL) & 0x8000)) return false;
  const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  HWND focus = GetFocus();
  if (!IsChild(mainWindow, focus)) focus = nullptr;  // then the first (or last) control
  if (const HWND next = GetNextDlgTabItem(mainWindow, focus, backwards)) SetFocus(next);
  return true;
}

}  // namespace

int RunMessageLoop(HWND mainWindow) {
  MSG message{};
  while (IsWindow(mainWindow)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got < 0) return 1;
    if (MoveFocusOnTab(mainWindow, message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace quenmora::win32
