#include "app/win32/main_window_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/layout.h"
#include "app/texts.h"
#include "app/win32/dpi.h"
#include "app/win32/wide_text.h"
#include "link/reception/notices.h"
#include "main_window_fixture.h"
#include "message_pump.h"

namespace quenmora::win32 {
namespace {

using app::MainControl;
using test_support::ExpectedInformation;
using test_support::MainWindowTest;
using test_support::PumpUntil;

RECT ClientRectOf(HWND control, HWND window) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST_F(MainWindowTest, ShowsEveryControlOfTheTableWithItsConvertedText) {
  EXPECT_EQ(WindowText(window.window()), L"Quenmora");
  for (const app::ControlSpec& entry : app::MainWindowLayout().controls) {
    const auto control = static_cast<MainControl>(entry.id);
    ASSERT_NE(Control(control), nullptr) << "control " << entry.id;
    if (control == MainControl::目录编辑框1 || control == MainControl::编辑框1) continue;
    EXPECT_EQ(TextOf(control), Wide(entry.text)) << "control " << entry.id;
  }
  // Two spelled out independently of the tables and of the conversion.
  EXPECT_EQ(TextOf(MainControl::标签1), L"\u63d0\u793a\uff1a");
  EXPECT_EQ(TextOf(MainControl::标签6),
            L" \u5b66\u6821\u6807\u8bc6\u7801 \uff5c \u59d3\u540d \uff5c         "
            L"\u8eab\u4efd\u8bc1\u53f7       \uff5c  \u73ed\u7ea7");
}

TEST_F(MainWindowTest, StartsWithTheDefaultDirectoryZeroFilesAndTheInformationBoxFilled) {
  EXPECT_EQ(GetFocus(), Control(MainControl::编辑框2)) << "the roster box, where the operator pastes";
  EXPECT_EQ(TextOf(MainControl::目录编辑框1), L"D:\\");
  EXPECT_EQ(TextOf(MainControl::标签4), L"0");
  EXPECT_TRUE(PumpUntil([&] { return TextOf(MainControl::编辑框1) == ExpectedInformation(); }))
      << "the information box holds: " << Gbk(TextOf(MainControl::编辑框1));
}

TEST_F(MainWindowTest, PlacesControlsOfAGroupBoxRelativeToItButAsChildrenOfTheWindow) {
  const int dpi = WindowDpi(window.window());
  const app::WindowSpec& layout = app::MainWindowLayout();
  for (const app::ControlSpec& entry : layout.controls) {
    const HWND control = Control(static_cast<MainControl>(entry.id));
    EXPECT_EQ(GetParent(control), window.window()) << "control " << entry.id;
    const app::Rect expected = app::ClientRect(layout, entry);
    const RECT actual = ClientRectOf(control, window.window());
    EXPECT_EQ(actual.left, Scale(expected.left, dpi)) << "control " << entry.id;
    EXPECT_EQ(actual.top, Scale(expected.top, dpi)) << "control " << entry.id;
    EXPECT_EQ(actual.right - actual.left, Scale(expected.width, dpi)) << "control " << entry.id;
    EXPECT_EQ(actual.bottom - actual.top, Scale(expected.height, dpi)) << "control " << entry.id;
  }
  // 按钮2 sits inside 分组框1 at (15 + 314, 344 + 57).
  const RECT choose = ClientRectOf(Control(MainControl::按钮2), window.window());
  EXPECT_EQ(choose.left, Scale(329, dpi));
  EXPECT_EQ(choose.top, Scale(401, dpi));

  RECT client;
  GetClientRect(window.window(), &client);
  EXPECT_EQ(client.right, Scale(layout.clientWidth, dpi));
  EXPECT_EQ(client.bottom, Scale(layout.clientHeight, dpi));
}

TEST_F(MainWindowTest, ColoursOfEveryControlComeFromTheTable) {
  const HDC dc = CreateCompatibleDC(nullptr);
  int coloured = 0;
  for (const app::ControlSpec& entry : app::MainWindowLayout().controls) {
    if (!entry.textColour && !entry.backColour) continue;
    ++coloured;
    const UINT message = entry.kind == app::ControlKind::Edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        window.window(), message, reinterpret_cast<WPARAM>(dc),
        reinterpret_cast<LPARAM>(Control(static_cast<MainControl>(entry.id)))));
    ASSERT_NE(brush, nullptr) << "control " << entry.id;
    if (entry.textColour) {
      EXPECT_EQ(GetTextColor(dc), RGB(entry.textColour->r, entry.textColour->g, entry.textColour->b))
          << "control " << entry.id;
    }
    if (entry.backColour) {
      const COLORREF back = RGB(entry.backColour->r, entry.backColour->g, entry.backColour->b);
      EXPECT_EQ(GetBkColor(dc), back) << "control " << entry.id;
      LOGBRUSH painted{};
      GetObjectW(brush, sizeof painted, &painted);
      EXPECT_EQ(painted.lbColor, back) << "control " << entry.id;
    }
  }
  DeleteDC(dc);
  EXPECT_GE(coloured, 5);  // 编辑框1, both group boxes, 标签5, 标签6 and 标签4 at least
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

TEST_F(MainWindowTest, TheHintHasItsOwnFontAndTheRestTheMessageFont) {
  const int dpi = WindowDpi(window.window());
  const LOGFONTW hint = FontOf(Control(MainControl::标签1));
  EXPECT_STREQ(hint.lfFaceName, L"\u5b8b\u4f53");  // 宋体
  EXPECT_EQ(hint.lfHeight, -Scale(16, dpi));
  EXPECT_EQ(hint.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(hint.lfWeight, FW_NORMAL);
  EXPECT_FALSE(hint.lfItalic || hint.lfUnderline);

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  for (const MainControl control : {MainControl::编辑框2, MainControl::按钮1, MainControl::分组框1, MainControl::标签6})
    EXPECT_STREQ(FontOf(Control(control)).lfFaceName, metrics.lfMessageFont.lfFaceName);
}

TEST_F(MainWindowTest, EditBoxesHaveTheirStylesAndTheRosterBoxNoLengthLimit) {
  const auto style = [&](MainControl control) { return GetWindowLongPtrW(Control(control), GWL_STYLE); };
  const auto exStyle = [&](MainControl control) { return GetWindowLongPtrW(Control(control), GWL_EXSTYLE); };
  EXPECT_TRUE(style(MainControl::编辑框1) & ES_MULTILINE);
  EXPECT_TRUE(style(MainControl::编辑框1) & WS_VSCROLL);
  EXPECT_TRUE(exStyle(MainControl::编辑框1) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(style(MainControl::编辑框2) & ES_MULTILINE);
  EXPECT_FALSE(style(MainControl::编辑框2) & (WS_VSCROLL | WS_HSCROLL));
  EXPECT_TRUE(exStyle(MainControl::编辑框2) & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(style(MainControl::目录编辑框1) & ES_MULTILINE);
  EXPECT_TRUE(style(MainControl::目录编辑框1) & ES_AUTOHSCROLL);
  EXPECT_TRUE(style(MainControl::标签6) & WS_BORDER);

  // A paste goes through the limit that WM_SETTEXT would skip: 40 000 characters stay whole.
  const std::wstring roster(40'000, L'x');
  SendMessageW(Control(MainControl::编辑框2), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(roster.c_str()));
  EXPECT_EQ(GetWindowTextLengthW(Control(MainControl::编辑框2)), 40'000);
}

TEST_F(MainWindowTest, AppendTextAddsAtTheEndWhereverTheCaretIs) {
  ASSERT_TRUE(PumpUntil([&] { return TextOf(MainControl::编辑框1) == ExpectedInformation(); }));
  const HWND box = Control(MainControl::编辑框1);
  SendMessageW(box, EM_SETSEL, 2, 5);
  window.AppendText(MainControl::编辑框1, "\xd5\xc5");  // 张
  EXPECT_EQ(TextOf(MainControl::编辑框1), ExpectedInformation() + L"\u5f20");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u) << "the operator's selection stays";
  EXPECT_EQ(end, 5u);
  EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the first address stays in view";
}

TEST_F(MainWindowTest, TextIsCodePage936AndSaysWhenCharactersWereReplaced) {
  bool replaced = true;
  SetWindowTextW(Control(MainControl::编辑框2), L"4401\t\u5f20\u4e09\r\n");
  EXPECT_EQ(window.Text(MainControl::编辑框2, &replaced), "4401\t\xd5\xc5\xc8\xfd\r\n");
  EXPECT_FALSE(replaced);
  // Thai has no place in GBK.
  SetWindowTextW(Control(MainControl::编辑框2), L"a\u0e01b");
  EXPECT_EQ(window.Text(MainControl::编辑框2, &replaced), "a?b");
  EXPECT_TRUE(replaced);
  window.SetText(MainControl::标签4, "12");
  EXPECT_EQ(TextOf(MainControl::标签4), L"12");
}

TEST_F(MainWindowTest, TheSendButtonRefusesAnEmptyRosterThenAMissingPhone) {
  Click(MainControl::按钮1);
  SetWindowTextW(Control(MainControl::编辑框2), L"4401\t\u5f20\u4e09");
  Click(MainControl::按钮1);
  EXPECT_EQ(window.messages,
            (std::vector<std::string>{std::string(link::kRosterEmpty), std::string(link::kPhoneNotConnected)}));
}

// The real message box, closed from a timer once it is up.
struct SeenMessageBox {
  bool found = false;
  std::wstring className;
  std::wstring caption;
  std::vector<std::wstring> texts;  // of its visible static controls
  int visibleButtons = 0;
  bool visibleIcon = false;
};
SeenMessageBox seenBox;

BOOL CALLBACK RecordChild(HWND child, LPARAM) {
  if (!IsWindowVisible(child)) return TRUE;
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
  if (lstrcmpiW(className, L"Button") == 0) ++seenBox.visibleButtons;
  if (lstrcmpiW(className, L"Static") == 0) {
    // The system may keep an empty icon control; only one holding an icon shows anything.
    if ((style & SS_TYPEMASK) == SS_ICON) seenBox.visibleIcon |= SendMessageW(child, STM_GETICON, 0, 0) != 0;
    else seenBox.texts.push_back(WindowText(child));
  }
  return TRUE;
}

// Any other visible window of the thread is the box; its class is checked afterwards.
BOOL CALLBACK FindMessageBox(HWND candidate, LPARAM mainWindow) {
  if (candidate == reinterpret_cast<HWND>(mainWindow) || !IsWindowVisible(candidate)) return TRUE;
  wchar_t className[32] = {};
  GetClassNameW(candidate, className, 32);
  seenBox.found = true;
  seenBox.className = className;
  seenBox.caption = WindowText(candidate);
  EnumChildWindows(candidate, RecordChild, 0);
  PostMessageW(candidate, WM_COMMAND, IDOK, 0);
  return FALSE;
}

HWND boxOwner = nullptr;

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(boxOwner));
  if (seenBox.found) KillTimer(nullptr, timer);
}

TEST(MainWindowMessageBox, HasTheCaptionQuenmoraAnOkButtonAndNoIcon) {
  MainWindowView window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Open(SW_SHOWNORMAL));
  boxOwner = window.window();
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseMessageBox);
  window.ShowMessage(link::kPhoneNotConnected);  // returns once the timer has pressed OK
  KillTimer(nullptr, timer);
  ASSERT_TRUE(seenBox.found);
  EXPECT_EQ(seenBox.className, L"#32770");  // the system's dialog class
  EXPECT_EQ(seenBox.caption, L"Quenmora");
  EXPECT_EQ(seenBox.visibleButtons, 1);
  EXPECT_FALSE(seenBox.visibleIcon);
  EXPECT_NE(std::find(seenBox.texts.begin(), seenBox.texts.end(), L"\u624b\u673a\u672a\u8fde\u63a5\uff01"),
            seenBox.texts.end());  // 手机未连接！
}

}  // namespace
}  // namespace quenmora::win32
