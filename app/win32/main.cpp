// The Windows program: the main window and its message loop; the program ends with the window.
// The logic is made here and handed its view, the address source, the firewall reader and the
// picker's sources.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "app/platform.h"
#include "app/win32/main_window_view.h"
#include "app/win32/message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace quenmora;
  const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&commonControls);
  win32::MainWindowView window(instance, {.lister = app::ListSubdirectories,
                                          .driveRoots = app::DriveRoots,
                                          .start = {}});
  app::MainWindow logic(window, window.executor(), app::LocalIpv4Addresses, link::kPhonePort,
                        std::string(app::kDefaultReceiveDirectory),
                        app::FirewallWatch(app::ReadFirewall));
  window.HandEventsTo(logic);
  if (!window.Open(showCommand)) return 1;
  return win32::RunMessageLoop(window.window());
}
