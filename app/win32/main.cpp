// The Windows program: the main window and its message loop; the program ends with the window.
#include <windows.h>
#include <commctrl.h>

#include "app/win32/main_window_view.h"
#include "app/win32/message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&commonControls);
  quenmora::win32::MainWindowView window(instance);
  if (!window.Open(showCommand)) return 1;
  return quenmora::win32::RunMessageLoop(window.window());
}
