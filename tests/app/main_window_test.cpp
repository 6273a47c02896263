#include "app/main_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/address_lines.h"
#include "app/texts.h"
#include "fake_main_view.h"
#include "step_pace.h"
#include "link/reception/notices.h"
#include "tests/support/test_phone.h"
#include "tests/support/test_ui_thread.h"

namespace quenmora::app {
namespace {

using namespace std::chrono_literals;
using testing::FakeMainView;
using testing::FakePickerView;
using test_support::TestPhone;
using test_support::TestUiThread;
namespace fs = std::filesystem;

constexpr auto kInfoBox = MainControl::编辑框1;

std::string AddressLine(std::string_view address) {
  return std::string(kLocalIp) + std::string(address) + "\r\n";
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return lines;
    start = end + 2;
  }
}

// Waits, without running UI tasks, until `condition` holds or ten seconds have passed.
bool Eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// Each address on an ordinary wired adapter with a gateway.
AddressSource Addresses(std::vector<std::string> addresses) {
  std::vector<HostAdapter> adapters;
  for (std::string& address : addresses)
    adapters.push_back(
        {.ipv4 = {std::move(address)}, .kind = AdapterKind::kEthernet, .hasGateway = true});
  return [adapters] { return adapters; };
}

// The given addresses, the fake disk, a server on `port` (0: a free one) and "D:\" at start.
MainWindowSources Sources(std::vector<std::string> addresses, std::uint16_t port = 0,
                          std::string receiveDirectory = "D:\\") {
  return {.addresses = Addresses(std::move(addresses)),
          .picker = testing::FakeDiskSources(),
          .port = port,
          .receiveDirectory = std::move(receiveDirectory),
          .clock = [](std::chrono::milliseconds, link::UiTask) {},  // no line that waits for time
          .files = nullptr,
          .firewall = [] { return std::optional<FirewallReading>(); },  // as under Wine: unknown
          .firewallPace = nullptr};
}

class MainWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<MainWindow> OpenWindow(std::vector<std::string> addresses = {"192.168.1.20"},
                                         std::uint16_t port = 0) {
    auto window = std::make_unique<MainWindow>(view, ui.executor(), Sources(std::move(addresses), port));
    window->Created();
    return window;
  }
  bool WaitForInstructions() {
    return ui.RunUntil([&] { return view.text(kInfoBox).ends_with(kInstructions); });
  }

  TestUiThread ui;
  FakeMainView view;
};

TEST_F(MainWindowTest, StartsServerThenSetsReceiveDirectoryThenWorkerAppends) {
  // Tasks run at once on the worker thread, so an append made too early would show in the log.
  MainWindow window(view, [](link::UiTask task) { task(); }, Sources({"10.1.2.3"}));
  bool listeningWhenDirectorySet = false;
  view.beforeSetText = [&](MainControl control) {
    if (control == MainControl::目录编辑框1) listeningWhenDirectorySet = window.phoneLink().port() != 0;
  };
  window.Created();
  ASSERT_TRUE(Eventually([&] { return view.appends(kInfoBox).size() == 2; }));

  const auto calls = view.calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_FALSE(calls[0].append);
  EXPECT_EQ(calls[0].control, MainControl::目录编辑框1);
  EXPECT_EQ(calls[0].text, "D:\\");
  EXPECT_TRUE(listeningWhenDirectorySet);
  EXPECT_TRUE(calls[1].append && calls[2].append);
  EXPECT_EQ(calls[1].text, AddressLine("10.1.2.3"));
  EXPECT_EQ(calls[2].text, kInstructions);
}

TEST_F(MainWindowTest, TheGivenReceiveDirectoryGoesIntoItsBoxAtStart) {
  MainWindow window(view, ui.executor(), Sources({}, 0, "/home/li/Pictures"));
  window.Created();
  EXPECT_EQ(view.text(MainControl::目录编辑框1), "/home/li/Pictures");
}

TEST_F(MainWindowTest, InformationBoxHasOneAppendPerAddressThenTheInstructions) {
  for (const std::vector<std::string>& addresses :
       {std::vector<std::string>{}, {"192.168.1.20"}, {"192.168.1.20", "10.0.0.7"}}) {
    FakeMainView fresh;
    MainWindow window(fresh, ui.executor(), Sources(addresses));
    window.Created();
    ASSERT_TRUE(ui.RunUntil([&] { return fresh.text(kInfoBox).ends_with(kInstructions); }));
    std::vector<std::string> expected;
    for (const std::string& address : addresses) expected.push_back(AddressLine(address));
    expected.emplace_back(kInstructions);
    EXPECT_EQ(fresh.appends(kInfoBox), expected) << addresses.size() << " addresses";
  }
}

TEST_F(MainWindowTest, InformationBoxShowsTheOrderedMarkedLinesOneAppendEach) {
  const std::vector<HostAdapter> adapters{
      {.ipv4 = {"192.168.56.1"}, .kind = AdapterKind::kEthernet, .isVirtual = true},
      {.ipv4 = {"192.168.1.20"}, .kind = AdapterKind::kWifi, .hasGateway = true}};
  MainWindowSources sources = Sources({});
  sources.addresses = [adapters] { return adapters; };
  MainWindow window(view, ui.executor(), std::move(sources));
  window.Created();
  ASSERT_TRUE(WaitForInstructions());
  std::vector<std::string> expected;
  for (const std::string& line : AddressLines(adapters)) expected.push_back(line + "\r\n");
  expected.emplace_back(kInstructions);
  EXPECT_EQ(view.appends(kInfoBox), expected);
  EXPECT_EQ(expected.front(), AddressLine("192.168.1.20"));
}

TEST_F(MainWindowTest, WithOneAddressTheBoxReadsAddressBlankLineHeadingAndTwoSteps) {
  const auto window = OpenWindow({"192.168.1.20"});
  ASSERT_TRUE(WaitForInstructions());
  const std::vector<std::string> lines = Lines(view.text(kInfoBox));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0] + "\r\n", AddressLine("192.168.1.20"));
  EXPECT_EQ(lines[1], "");
  EXPECT_TRUE(lines[2].ends_with(":"));
  EXPECT_TRUE(lines[3].starts_with("1."));
  EXPECT_TRUE(lines[4].starts_with("2."));  // and no line end after it
}

TEST_F(MainWindowTest, ListenFailureNoticeHasItsOwnLineBeforeTheAddresses) {
  FakeMainView first;
  MainWindow holder(first, ui.executor(), Sources({}));
  holder.Created();
  ASSERT_NE(holder.phoneLink().port(), 0);

  const auto window = OpenWindow({"192.168.1.20"}, holder.phoneLink().port());
  ASSERT_TRUE(WaitForInstructions());
  EXPECT_EQ(view.text(kInfoBox), link::ListenFailedNotice(holder.phoneLink().port()) + "\r\n" +
                                     AddressLine("192.168.1.20") + std::string(kInstructions));
}

TEST_F(MainWindowTest, PhotosGoToTheTypedDirectoryAndNoticesEachTakeANewLine) {
  const fs::path directory = fs::temp_directory_path() / ("quenmora-app-" + std::to_string(
      std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(directory);
  auto window = OpenWindow();
  ASSERT_TRUE(WaitForInstructions());
  const std::string informationText = view.text(kInfoBox);
  EXPECT_EQ(view.text(MainControl::目录编辑框1), "D:\\");
  view.Type(MainControl::目录编辑框1, directory.string());  // ASCII, as the temporary folder is

  TestPhone phone(window->phoneLink().port());
  phone.Write("STAT||photo.jpg\r\n");
  ASSERT_TRUE(ui.RunUntil([&] { return view.text(MainControl::标签4) == "1"; }));
  phone.Write("JPEG");
  ASSERT_TRUE(ui.RunUntil([&] {
    std::error_code ec;
    return fs::file_size(directory / "photo.jpg", ec) == 4;
  }));
  phone.Write("END||");

  phone.Write("STAT||..%2Fescape.jpg\r\n");
  ASSERT_TRUE(ui.RunUntil([&] { return view.text(MainControl::标签4) == "2"; }));
  const std::string first = std::string(link::kNameRefused) + "../escape.jpg";
  EXPECT_EQ(view.text(kInfoBox), informationText + "\r\n" + first + "\r\n");

  phone.Write("STAT||..%2Fagain.jpg\r\n");
  ASSERT_TRUE(ui.RunUntil([&] { return view.text(MainControl::标签4) == "3"; }));
  const std::string second = std::string(link::kNameRefused) + "../again.jpg";
  EXPECT_EQ(view.text(kInfoBox), informationText + "\r\n" + first + "\r\n" + second + "\r\n");

  std::ifstream photo(directory / "photo.jpg", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(photo), {}), "JPEG");
  photo.close();
  // Only once the window has gone has the disk thread closed the photo; Windows refuses to
  // remove an open file.
  window.reset();
  fs::remove_all(directory);
}

// Names refused one read at a time, long enough that the box must let the oldest go.
TEST_F(MainWindowTest, RefusedNamesFillTheBoxWithoutItBeingReadAndTheOldestGiveWay) {
  const auto window = OpenWindow({"192.168.1.20"});
  ASSERT_TRUE(WaitForInstructions());
  const std::string top = AddressLine("192.168.1.20") + std::string(kInstructions) + "\r\n";
  std::string zhangs;  // 张 two hundred times, percent-encoded UTF-8
  for (int i = 0; i < 200; ++i) zhangs += "%E5%BC%A0";

  constexpr int kPhones = 3;
  constexpr int kNamesEach = 100;  // a connection may send that many before it is dropped
  for (int phoneIndex = 0, sent = 0; phoneIndex < kPhones; ++phoneIndex) {
    TestPhone phone(window->phoneLink().port());
    for (int i = 0; i < kNamesEach; ++i, ++sent) {
      phone.Write("STAT||..%2F" + std::to_string(sent) + "-" + zhangs + "\r\n");
      ASSERT_TRUE(ui.RunUntil([&] { return view.text(MainControl::标签4) == std::to_string(sent + 1); }));
    }
  }

  const std::string box = view.text(kInfoBox);
  EXPECT_LT(box.size(), InformationBox::kLimit);
  ASSERT_TRUE(box.starts_with(top)) << box.substr(0, 200);
  const std::vector<std::string> lines = Lines(box.substr(top.size()));
  ASSERT_EQ(lines.back(), "") << "the box ends with a line end";
  // The notices left are the newest, in the order they came.
  const std::string refused = std::string(link::kNameRefused) + "../";
  int expected = kPhones * kNamesEach - static_cast<int>(lines.size() - 1);
  EXPECT_GT(expected, 0) << "none gave way";
  for (std::size_t i = 0; i + 1 < lines.size(); ++i, ++expected) {
    ASSERT_TRUE(lines[i].starts_with(refused + std::to_string(expected) + "-")) << lines[i].substr(0, 60);
  }
  EXPECT_EQ(view.reads(kInfoBox), 0);
}

TEST_F(MainWindowTest, RosterRefusalsComeInOrderWithoutAnUnmappableNotice) {
  const auto window = OpenWindow();
  ASSERT_TRUE(WaitForInstructions());
  const std::string informationText = view.text(kInfoBox);

  window->Clicked(MainControl::按钮1);  // empty roster, no phone: the roster message wins
  view.Type(MainControl::编辑框2, "1001\tZhang?\r\n", /*unmappable=*/true);
  window->Clicked(MainControl::按钮1);  // no phone
  ASSERT_TRUE(ui.RunUntil([&] { return ui.pending() == 0; }));

  EXPECT_EQ(view.messages(),
            (std::vector<std::string>{std::string(link::kRosterEmpty),
                                      std::string(link::kPhoneNotConnected)}));
  EXPECT_EQ(view.text(kInfoBox), informationText);
}

TEST_F(MainWindowTest, RosterSentWithReplacedCharactersSaysSoInTheInformationBox) {
  const auto window = OpenWindow();
  ASSERT_TRUE(WaitForInstructions());
  const std::string informationText = view.text(kInfoBox);
  TestPhone phone(window->phoneLink().port());
  ASSERT_TRUE(ui.RunUntil([&] { return !window->phoneLink().currentClient().empty(); }));

  const std::string roster = "1001\tZhang?\t110\t1\r\n";
  view.Type(MainControl::编辑框2, roster, /*unmappable=*/true);
  window->Clicked(MainControl::按钮1);
  const std::string message = "STAT||" + roster + "||END";
  EXPECT_EQ(phone.Read(message.size()), message);
  const std::string sent = link::RosterSentNotice("127.0.0.1", roster) + "\r\n";
  const std::string withNotice =
      informationText + "\r\n" + std::string(kRosterHasUnmappable) + "\r\n" + sent;
  EXPECT_TRUE(ui.RunUntil([&] { return view.text(kInfoBox) == withNotice; }))
      << view.text(kInfoBox);

  // Without replaced characters only the line that it went out.
  view.Type(MainControl::编辑框2, roster, /*unmappable=*/false);
  window->Clicked(MainControl::按钮1);
  EXPECT_EQ(phone.Read(message.size()), message);
  EXPECT_TRUE(ui.RunUntil([&] { return view.text(kInfoBox) == withNotice + sent; }))
      << view.text(kInfoBox);
  EXPECT_TRUE(view.messages().empty());
}

TEST_F(MainWindowTest, RosterSentToAPhoneThatHadGoneSaysSoOnceTheSendFails) {
  const auto window = OpenWindow();
  ASSERT_TRUE(WaitForInstructions());
  auto phone = std::make_unique<TestPhone>(window->phoneLink().port());
  ASSERT_TRUE(ui.RunUntil([&] { return !window->phoneLink().currentClient().empty(); }));
  ASSERT_TRUE(ui.RunUntil([&] { return ui.pending() == 0; }));
  const std::string informationText = view.text(kInfoBox);

  phone.reset();
  // The server has seen the phone go (its event is queued), the window has not: the roster goes
  // out, with its notice, and the failed send shows the message afterwards.
  ASSERT_TRUE(ui.WaitForPending(1));
  view.Type(MainControl::编辑框2, "1001\tZhang?\r\n", /*unmappable=*/true);
  window->Clicked(MainControl::按钮1);
  EXPECT_TRUE(view.messages().empty());
  EXPECT_TRUE(ui.RunUntil(
      [&] { return view.messages() == std::vector<std::string>{std::string(link::kPhoneNotConnected)}; }));
  ui.RunFor(100ms);
  EXPECT_EQ(view.messages(), std::vector<std::string>{std::string(link::kPhoneNotConnected)});
  EXPECT_EQ(view.text(kInfoBox),
            informationText + "\r\n" + std::string(kRosterHasUnmappable) + "\r\n");
}

// The view's contracts as the logic leans on them: the roster box has the focus from the start,
// and notices, added at the end, leave the operator's caret and scroll position in the
// information box where they were.
TEST_F(MainWindowTest, RosterBoxHasTheFocusFromTheStartAndNoticesLeaveTheInformationBoxCaret) {
  const auto window = OpenWindow();
  EXPECT_EQ(view.focus(), MainControl::编辑框2);
  ASSERT_TRUE(WaitForInstructions());
  const FakeMainView::Caret operatorCaret{.anchor = 4, .position = 12, .firstVisibleLine = 1};
  view.PlaceCaret(kInfoBox, operatorCaret);

  TestPhone phone(window->phoneLink().port());
  phone.Write("STAT||..%2Fescape.jpg\r\n");
  ASSERT_TRUE(ui.RunUntil([&] { return view.text(kInfoBox).ends_with("../escape.jpg\r\n"); }));
  const std::string roster = "1001\tZhang?\r\n";
  view.Type(MainControl::编辑框2, roster, /*unmappable=*/true);
  window->Clicked(MainControl::按钮1);
  const std::string lastLines = std::string(kRosterHasUnmappable) + "\r\n" +
                                link::RosterSentNotice("127.0.0.1", roster) + "\r\n";
  ASSERT_TRUE(ui.RunUntil([&] { return view.text(kInfoBox).ends_with(lastLines); }));

  EXPECT_EQ(view.caret(kInfoBox), operatorCaret);
  EXPECT_EQ(view.focus(), MainControl::编辑框2);
}

// A public network where nothing allows the program in, read at the steps of `pace`.
void NotAllowingFirewall(MainWindowSources& sources, std::shared_ptr<testing::StepPace> pace) {
  const FirewallReading reading{.program = u"C:\\quenmora\\quenmora.exe",
                                .currentProfiles = {{.type = kFirewallPublic}}};
  sources.firewall = [reading] { return std::optional(reading); };
  sources.firewallPace = std::move(pace);
}

TEST_F(MainWindowTest, FirewallWarningIsANoticeOnceListeningHasStarted) {
  auto pace = std::make_shared<testing::StepPace>();
  MainWindowSources sources = Sources({"192.168.1.20"});
  NotAllowingFirewall(sources, pace);
  MainWindow window(view, ui.executor(), std::move(sources));
  window.Created();
  ASSERT_TRUE(WaitForInstructions());
  const std::string informationText = view.text(kInfoBox);
  ASSERT_TRUE(pace->WaitForWaits(1));
  pace->Pass();
  ASSERT_TRUE(pace->WaitForWaits(2));
  pace->Pass();  // the same verdict again: no second line
  ASSERT_TRUE(pace->WaitForWaits(3));
  ASSERT_TRUE(ui.RunUntil([&] { return ui.pending() == 0; }));
  EXPECT_EQ(view.text(kInfoBox), informationText + "\r\n" + std::string(kFirewallNotAllowed) + "\r\n");
}

TEST_F(MainWindowTest, FirewallIsNotWatchedWhenListeningFailed) {
  FakeMainView first;
  MainWindow holder(first, ui.executor(), Sources({}));
  holder.Created();
  auto pace = std::make_shared<testing::StepPace>();
  {
    MainWindowSources sources = Sources({}, holder.phoneLink().port());
    NotAllowingFirewall(sources, pace);
    MainWindow window(view, ui.executor(), std::move(sources));
    window.Created();
  }
  // A started watch waits before anything else, and the window waits for it as it goes.
  EXPECT_TRUE(pace->waits().empty());
}

TEST_F(MainWindowTest, ChooseButtonRunsThePickerOnTheReceiveDirectoryAndTakesItsChoice) {
  const auto window = OpenWindow();
  view.Type(MainControl::目录编辑框1, "D:\\photos");
  std::vector<std::vector<std::string>> shownAtOpening;
  auto record = [&](FakePickerView& picker) {
    shownAtOpening.push_back({picker.drive(), picker.selected.at(0)});
  };
  view.whilePickerOpen = [&](FolderPicker& picker, FakePickerView& shown) {
    record(shown);
    picker.DriveChosen(0);
    picker.Clicked(PickerControl::按钮2);
  };
  window->Clicked(MainControl::按钮2);
  EXPECT_EQ(view.text(MainControl::目录编辑框1), "D:\\photos");

  view.whilePickerOpen = [&](FolderPicker& picker, FakePickerView& shown) {
    record(shown);
    picker.EntryOpened(shown.RowOf("2024"));
    picker.Clicked(PickerControl::按钮1);
    EXPECT_EQ(shown.closes, 1);
  };
  window->Clicked(MainControl::按钮2);
  EXPECT_EQ(view.text(MainControl::目录编辑框1), "D:\\photos\\2024");
  EXPECT_EQ(view.pickersMade(), 2);
  EXPECT_EQ(shownAtOpening, (std::vector<std::vector<std::string>>{{"D:\\", "D:\\photos"},
                                                                  {"D:\\", "D:\\photos"}}));
}

// Only the two buttons do something when clicked.
TEST_F(MainWindowTest, ClicksOnControlsOtherThanTheButtonsDoNothing) {
  const auto window = OpenWindow();
  ASSERT_TRUE(WaitForInstructions());
  const std::vector<FakeMainView::Call> before = view.calls();
  for (const MainControl control :
       {MainControl::标签1, MainControl::编辑框1, MainControl::分组框2, MainControl::标签5,
        MainControl::标签6, MainControl::编辑框2, MainControl::分组框1, MainControl::标签3,
        MainControl::标签4, MainControl::标签2, MainControl::目录编辑框1})
    window->Clicked(control);
  ASSERT_TRUE(ui.RunUntil([&] { return ui.pending() == 0; }));
  EXPECT_EQ(view.calls().size(), before.size());
  EXPECT_TRUE(view.messages().empty());
  EXPECT_EQ(view.pickersMade(), 0);
  window->Clicked(MainControl::按钮1);  // the empty roster, as a check that clicks do arrive
  EXPECT_EQ(view.messages(), std::vector<std::string>{std::string(link::kRosterEmpty)});
}

TEST_F(MainWindowTest, WorkerAppendsArrivingAfterTheWindowIsGoneAreDropped) {
  OpenWindow({"192.168.1.20"}).reset();
  // The worker queues its two appends whenever it gets to them; run them once they are there.
  ASSERT_TRUE(Eventually([&] { return ui.pending() == 2; }));
  ASSERT_TRUE(ui.RunUntil([&] { return ui.pending() == 0; }));
  EXPECT_TRUE(view.appends(kInfoBox).empty());
}

}  // namespace
}  // namespace quenmora::app
