#pragma once
// The real main window and its logic, opened in the test's process with two made-up addresses
// and a server on a free port, and the machine's own disk for the picker. Message boxes are recorded instead of shown, so nothing waits for a click.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "app/main_window_sources.h"
#include "app/texts.h"
#include "app/win32/main_window_view.h"
#include "app/win32/wide_text.h"
#include "message_pump.h"

namespace quenmora::win32::test_support {

class RecordingMainWindow : public MainWindowView {
 public:
  using MainWindowView::MainWindowView;
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

inline std::vector<std::string> TwoAddresses() { return {"10.1.2.3", "192.168.0.7"}; }
// TwoAddresses on one ordinary adapter, so that they show bare and in their order.
inline std::vector<app::HostAdapter> OneAdapter() { return {{.ipv4 = TwoAddresses()}}; }

// The machine's own sources, but TwoAddresses and a free port.
inline app::MainWindowSources TestSources() {
  app::MainWindowSources sources = app::MachineSources();
  sources.addresses = OneAdapter;
  sources.port = 0;
  sources.clock = [](std::chrono::milliseconds, link::UiTask) {};  // no line that waits for time
  return sources;
}

// The information box once the worker has listed TwoAddresses and the instructions.
inline std::wstring ExpectedInformation() {
  std::string text;
  for (const std::string& address : TwoAddresses()) {
    text += app::kLocalIp;
    text += address;
    text += "\r\n";
  }
  text += app::kInstructions;
  return Wide(text);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    window.HandEventsTo(logic);
    ASSERT_TRUE(window.Open(SW_SHOWNORMAL));
  }

  HWND Control(app::MainControl control) const { return window.control(control); }
  std::wstring TextOf(app::MainControl control) const { return WindowText(Control(control)); }
  void Click(app::MainControl button) { SendMessageW(Control(button), BM_CLICK, 0, 0); }

  RecordingMainWindow window{GetModuleHandleW(nullptr)};
  app::MainWindow logic{window, window.executor(), TestSources()};
};

}  // namespace quenmora::win32::test_support
