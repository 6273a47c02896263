#pragma once
// What the program's main gives the main window's logic.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/firewall_watch.h"
#include "app/folder_picker.h"
#include "app/platform/host_addresses.h"
#include "link/reception/file_layer.h"
#include "link/reception/ui_executor.h"
#include "link/wire/wire_format.h"

namespace quenmora::app {

using AddressSource = std::function<std::vector<HostAdapter>()>;

struct MainWindowSources {
  AddressSource addresses;  // their lines listed in `编辑框1` at start
  PickerSources picker;     // what each opening of the folder picker is made from
  std::uint16_t port = link::kPhonePort;
  std::string receiveDirectory;  // `目录编辑框1` at start
  // The clock of the lines that wait (a phone that left, lines gathered for a second); when empty,
  // the link's own.
  link::UiTimer clock;
  // Where received photos are written; the system's when empty.
  std::shared_ptr<link::FileLayer> files;
  // How the firewall is read, once listening has started, and when: the clock's unless given.
  FirewallReader firewall;
  std::shared_ptr<FirewallWatch::Pace> firewallPace;
};

// This machine's: its IPv4 addresses, its disk, port 3456 and its start directories.
MainWindowSources MachineSources();

}  // namespace quenmora::app
