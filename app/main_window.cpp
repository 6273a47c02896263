#include "app/main_window.h"

#include <memory>
#include <thread>
#include <utility>

#include "app/address_lines.h"
#include "app/texts.h"
#include "link/reception/notices.h"

namespace quenmora::app {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The worker thread: the address lines, then the instructions, one append each, in order. It holds
// only copies and reaches the window through tasks that run `show` on the UI thread; `ui` drops
// them once the window is gone.
void ListAddressesAndInstructions(AddressSource addresses, link::UiExecutor ui,
                                  std::function<void(std::string_view)> show) {
  auto append = [&](std::string text) {
    ui([show, text = std::move(text)] { show(text); });
  };
  for (std::string& line : AddressLines(addresses())) {
    line += kLineEnd;
    append(std::move(line));
  }
  append(std::string(kInstructions));
}

}  // namespace

MainWindow::MainWindow(MainView& view, link::UiExecutor ui, MainWindowSources sources)
    : view_(view),
      ui_(ui),
      addresses_(std::move(sources.addresses)),
      port_(sources.port),
      receiveDirectory_(std::move(sources.receiveDirectory)),
      picker_(std::move(sources.picker)),
      information_(view, MainControl::编辑框1),
      link_(std::move(ui),
            link::PhoneLinkHooks{
                .reception =
                    {
                        .receiveDirectory = [this] { return view_.Text(MainControl::目录编辑框1); },
                        .fileStarted =
                            [this](std::int32_t count, const std::string&) {
                              countDue_ = count;
                              ShowSoon();
                            },
                        .notice = [this](const std::string& line) { AppendNotice(line); },
                        .files = std::move(sources.files),
                    },
                .rosterText = [this] { return RosterText(); },
                .rosterSendFailed = [this] { view_.ShowMessage(link::kPhoneNotConnected); },
                .after = std::move(sources.clock),
            }),
      firewall_(std::move(sources.firewall), std::move(sources.firewallPace)) {}

void MainWindow::Created() {
  view_.Focus(MainControl::编辑框2);  // the operator starts by pasting the roster
  if (link_.Start(port_)) {
    firewall_.Start(link_.port(), lifetime_.GuardedExecutor(ui_),
                    [this](std::string_view line) { AppendNotice(line); });
  }
  view_.SetText(MainControl::目录编辑框1, receiveDirectory_);
  // Shown at once, with whatever is pending before them.
  auto show = [this](std::string_view text) {
    information_.AddTopText(text);
    ShowPending();
  };
  std::thread(ListAddressesAndInstructions, addresses_, lifetime_.GuardedExecutor(ui_),
              std::move(show))
      .detach();
}

void MainWindow::Clicked(MainControl control) {
  if (control == MainControl::按钮1) SendRoster();
  if (control == MainControl::按钮2) ChooseReceiveDirectory();
}

void MainWindow::Close() { link_.Shutdown(); }

bool MainWindow::WaitUntilWritten() {
  const std::vector<std::string> unwritten = link_.WaitUntilWritten(link::kLastWritesBound);
  if (unwritten.empty()) return true;
  std::string message(kPhotosNotWritten);
  for (const std::string& path : unwritten) message += std::string(kLineEnd) + path;
  view_.ShowMessage(message);
  return false;
}

void MainWindow::SendRoster() {
  const link::RosterPushOutcome outcome = link_.SendRoster();
  switch (outcome.result) {
    case link::RosterPushOutcome::Result::kSent:
      // Told only when the replaced characters actually went out.
      if (outcome.charactersReplaced) AppendNotice(kRosterHasUnmappable);
      return;
    case link::RosterPushOutcome::Result::kRefusedRosterEmpty:
      return view_.ShowMessage(link::kRosterEmpty);
    case link::RosterPushOutcome::Result::kRefusedNoPhoneConnected:
      return view_.ShowMessage(link::kPhoneNotConnected);
  }
}

void MainWindow::ChooseReceiveDirectory() {
  const std::unique_ptr<FolderPickerView> pickerView = view_.NewFolderPicker();
  FolderPicker picker(*pickerView, picker_, view_.Text(MainControl::目录编辑框1),
                      [this](std::string_view directory) {
                        view_.SetText(MainControl::目录编辑框1, directory);
                      });
  pickerView->RunModal(picker);
}

void MainWindow::AppendNotice(std::string_view line) {
  information_.AddNotice(line);
  ShowSoon();
}

void MainWindow::ShowSoon() {
  if (showQueued_) return;
  showQueued_ = true;
  ui_(lifetime_.Guard([this] {
    showQueued_ = false;
    ShowPending();
  }));
}

void MainWindow::ShowPending() {
  if (countDue_) view_.SetText(MainControl::标签4, std::to_string(*std::exchange(countDue_, {})));
  information_.Show();
}

link::RosterText MainWindow::RosterText() {
  link::RosterText roster;
  roster.text = view_.Text(MainControl::编辑框2, &roster.charactersReplaced);
  return roster;
}

}  // namespace quenmora::app
