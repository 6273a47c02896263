// The Windows program: the main window and its message loop; the program ends with the window.
// The logic is made here and handed its view and this machine's sources.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "app/platform/host_addresses.h"
#include "app/main_window.h"
#include "app/main_window_sources.h"
#include "app/win32/main_window_view.h"
#include "app/win32/message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace quenmora;
  const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&commonControls);
  win32::MainWindowView window(instance);
  app::MainWindow logic(window, window.executor(), app::MachineSources());
  window.HandEventsTo(logic);
  if (!window.Open(showCommand)) return 1;
  const int exitCode = win32::RunMessageLoop(window.window());
  // The disk thread still waits on a file and would hold the program.
  if (!logic.WaitUntilWritten()) std::_Exit(exitCode);
  return exitCode;
}
