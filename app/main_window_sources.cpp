#include "app/main_window_sources.h"

#include <utility>

#include "app/platform/platform.h"
#include "app/start_directories.h"

namespace quenmora::app {

MainWindowSources MachineSources() {
  StartDirectories start = MachineStartDirectories();
  return {.addresses = HostAdapters,
          .picker = {.lister = ListSubdirectories, .driveRoots = DriveRoots,
                     .start = std::move(start.picker)},
          .port = link::kPhonePort,
          .receiveDirectory = std::move(start.receiveDirectory),
          .clock = {},
          .files = nullptr,
          .firewall = ReadFirewall,
          .firewallPace = nullptr};
}

}  // namespace quenmora::app
