// The Windows program: the main window and its message loop; the program ends with the window.
// The logic is made here and handed its view and this machine's sources.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <string>

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
  if (const std::optional<std::string> unwritten = logic.WaitUntilWritten()) {
    window.ShowMessage(*unwritten);
    std::_Exit(exitCode);  // the disk thread still waits on a file and would hold the program
  }
  return exitCode;
}
