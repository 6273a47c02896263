#pragma once
// The main window's behaviour: start-up, the phone link's hooks, and the two buttons.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/folder_picker.h"
#include "app/firewall_watch.h"
#include "app/information_box.h"
#include "app/main_view.h"
#include "app/main_window_sources.h"
#include "link/server/phone_link.h"
#include "link/server/phone_server.h"
#include "link/reception/ui_executor.h"

namespace quenmora::app {

class MainWindow {
 public:
  MainWindow(MainView& view, link::UiExecutor ui, MainWindowSources sources);

  // The window has been created: the focus to the roster box, start the server, the receive
  // directory into `目录编辑框1`, start the worker thread that lists the addresses and the
  // instructions in `编辑框1`. The worker appends through `ui`, one append each; the appends are
  // dropped if this window is gone by the time they run. Once listening, the firewall watch too,
  // whose lines are notices.
  void Created();
  // `按钮1` sends the roster, `按钮2` runs the folder picker; a click on any other control does
  // nothing.
  void Clicked(MainControl control);
  // The window is closing: the network stops, so the phones see their connections closed, and
  // what was read is handled by the tasks now queued for the UI thread, which the front end runs
  // before the window goes; the last of them hands every file to the disk to close.
  void Close();
  // Once the window has gone: waits for the disk to write and close every file, at most
  // link::kLastWritesBound. False when it has not: a message has named the files not written, and
  // the program must end without waiting on.
  bool WaitUntilWritten();

  const link::PhoneLink& phoneLink() const { return link_; }

 private:
  // One line in `编辑框1`, starting on a line of its own and ending with CR LF. It is shown
  // when the UI thread's current task is done, with the other notices and the count of that turn.
  void AppendNotice(std::string_view line);
  void ShowSoon();
  void ShowPending();
  link::RosterText RosterText();
  void SendRoster();
  // The folder picker, modal, on `目录编辑框1`; OK writes its choice there.
  void ChooseReceiveDirectory();

  MainView& view_;
  link::UiExecutor ui_;
  AddressSource addresses_;
  std::uint16_t port_;
  std::string receiveDirectory_;
  PickerSources picker_;
  // Ends with this window; the worker's appends and the pending updates, queued for the UI
  // thread, check it.
  link::OwnerLifetime lifetime_;
  InformationBox information_;
  // A change of a native control costs far more than a notice (an append takes tens of
  // milliseconds under Wine), so the notices and file starts of a whole read become one change
  // each, made once the read is handled.
  std::optional<std::int32_t> countDue_;
  bool showQueued_ = false;
  link::PhoneLink link_;
  // Last, so that its thread is stopped first when the window goes.
  FirewallWatch firewall_;
};

}  // namespace quenmora::app
