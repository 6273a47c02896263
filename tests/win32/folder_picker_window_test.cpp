#include "app/win32/folder_picker_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/layout.h"
#include "app/texts.h"
#include "app/win32/control_ids.h"
#include "app/win32/wide_text.h"
#include "main_window_fixture.h"

namespace quenmora::win32 {
namespace {

using app::MainControl;
using app::PickerControl;

// A temporary tree: ROOT\b and ROOT\照片\2024班.
class TemporaryTree {
 public:
  TemporaryTree() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"qm-picker-" + std::to_wstring(GetCurrentProcessId());
    for (const std::wstring& directory : {root, root + L"\\b", Photos(), Class()})
      CreateDirectoryW(directory.c_str(), nullptr);
  }
  ~TemporaryTree() {
    for (const std::wstring& directory : {Class(), Photos(), root + L"\\b", root})
      RemoveDirectoryW(directory.c_str());
  }
  std::wstring Photos() const { return root + L"\\\u7167\u7247"; }   // 照片
  std::wstring Class() const { return Photos() + L"\\2024\u73ed"; }  // 2024班

  std::wstring root;
};

// The picker's controls, found as another program would find them.
struct Picker {
  HWND window;
  HWND Control(PickerControl control) const { return GetDlgItem(window, ControlId(control)); }
  std::wstring Text(PickerControl control) const { return WindowText(Control(control)); }
  std::vector<std::wstring> ListItems(PickerControl control) const {
    const bool isList = control == PickerControl::目录框1;
    const HWND handle = Control(control);
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(handle, isList ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t item[MAX_PATH] = {};
      SendMessageW(handle, isList ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
      items.emplace_back(item);
    }
    return items;
  }
  LRESULT Selected(PickerControl control) const {
    return SendMessageW(Control(control), control == PickerControl::目录框1 ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
  }
  std::size_t IndexOf(const std::wstring& name) const {
    const std::vector<std::wstring> items = ListItems(PickerControl::目录框1);
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i].ends_with(L" " + name)) return i;
    ADD_FAILURE() << "no entry " << Gbk(name);
    return 0;
  }
  void Click(PickerControl button) const { SendMessageW(Control(button), BM_CLICK, 0, 0); }
};

BOOL CALLBACK MatchPicker(HWND candidate, LPARAM result) {
  wchar_t className[64] = {};
  GetClassNameW(candidate, className, 64);
  if (lstrcmpW(className, kFolderPickerClass) != 0) return TRUE;
  *reinterpret_cast<HWND*>(result) = candidate;
  return FALSE;
}

HWND FindPickerOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), MatchPicker, reinterpret_cast<LPARAM>(&found));
  return found;
}

// A picker left open by a failed test is closed after 10 s, so the test fails instead of hanging.
void CALLBACK CloseForgottenPicker(HWND, UINT, UINT_PTR, DWORD) {
  if (const HWND picker = FindPickerOfThisThread()) DestroyWindow(picker);
}

class FolderPickerWindowTest : public test_support::MainWindowTest {
 protected:
  // Clicks 按钮2 and, inside the modal picker, runs `act` through the window's task queue: the
  // way the server's events reach the window while the picker is open. Returns after the
  // picker has closed.
  void WithPicker(const std::function<void(const Picker&)>& act) {
    bool ran = false;
    window.executor()([&] {
      const HWND picker = FindPickerOfThisThread();
      ASSERT_NE(picker, nullptr);
      ran = true;
      EXPECT_FALSE(IsWindowEnabled(window.window())) << "the main window takes no input meanwhile";
      act(Picker{picker});
    });
    const UINT_PTR guard = SetTimer(nullptr, 0, 10'000, CloseForgottenPicker);
    Click(MainControl::按钮2);
    KillTimer(nullptr, guard);
    EXPECT_TRUE(ran);
    EXPECT_EQ(FindPickerOfThisThread(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window.window()));
  }

  void SetReceiveDirectory(const std::wstring& directory) {
    SetWindowTextW(Control(MainControl::目录编辑框1), directory.c_str());
  }

  TemporaryTree tree;
};

std::vector<std::wstring> MachineDrives() {
  std::vector<std::wstring> drives;
  const DWORD present = GetLogicalDrives();
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter)
    if (present & (1u << (letter - L'A'))) drives.push_back(std::wstring(1, letter) + L":\\");
  return drives;
}

TEST_F(FolderPickerWindowTest, OpensOnTheReceiveDirectoryAndCancelChangesNothing) {
  SetReceiveDirectory(tree.root);
  WithPicker([&](const Picker& picker) {
    EXPECT_EQ(WindowText(picker.window), Wide(app::kPickerCaption));
    EXPECT_EQ(GetWindow(picker.window, GW_OWNER), window.window());
    EXPECT_EQ(picker.Text(PickerControl::标签1), Wide(app::kPickerPrompt));
    EXPECT_EQ(picker.Text(PickerControl::按钮1), L"\u786e\u5b9a");  // 确定
    EXPECT_EQ(picker.ListItems(PickerControl::驱动框1), MachineDrives());
    const std::vector<std::wstring> drives = picker.ListItems(PickerControl::驱动框1);
    const LRESULT drive = picker.Selected(PickerControl::驱动框1);
    ASSERT_GE(drive, 0);
    EXPECT_EQ(drives[static_cast<std::size_t>(drive)][0], tree.root[0]);
    EXPECT_EQ(picker.Text(PickerControl::编辑框1), tree.root);
    // The chain down to the receive directory, selected, then its subdirectories one level deeper.
    const std::vector<std::wstring> entries = picker.ListItems(PickerControl::目录框1);
    const auto current = static_cast<std::size_t>(picker.Selected(PickerControl::目录框1));
    ASSERT_EQ(entries.size(), current + 3);
    EXPECT_TRUE(entries[current].ends_with(L"qm-picker-" + std::to_wstring(GetCurrentProcessId())));
    EXPECT_TRUE(entries[current + 1].ends_with(L" b"));
    EXPECT_TRUE(entries[current + 2].ends_with(L" \u7167\u7247"));
    EXPECT_GT(entries[current + 1].find_first_not_of(L' '), entries[current].find_first_not_of(L' '));

    picker.Click(PickerControl::按钮2);
  });
  EXPECT_EQ(TextOf(MainControl::目录编辑框1), tree.root);
}

TEST_F(FolderPickerWindowTest, OpeningEntriesByKeyAndDoubleClickThenOkWritesTheDirectory) {
  SetReceiveDirectory(tree.root);
  WithPicker([&](const Picker& picker) {
    const HWND list = picker.Control(PickerControl::目录框1);
    SendMessageW(list, LB_SETCURSEL, picker.IndexOf(L"\u7167\u7247"), 0);
    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(picker.Text(PickerControl::编辑框1), tree.Photos());

    RECT item;
    SendMessageW(list, LB_GETITEMRECT, picker.IndexOf(L"2024\u73ed"), reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
      SendMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    EXPECT_EQ(picker.Text(PickerControl::编辑框1), tree.Class());

    picker.Click(PickerControl::按钮1);
  });
  EXPECT_EQ(TextOf(MainControl::目录编辑框1), tree.Class());
}

TEST_F(FolderPickerWindowTest, ChoosingADriveResetsTheListAndTheCloseBoxChangesNothing) {
  SetReceiveDirectory(tree.root);
  WithPicker([&](const Picker& picker) {
    const std::vector<std::wstring> drives = picker.ListItems(PickerControl::驱动框1);
    const auto other = std::find_if(drives.begin(), drives.end(),
                                    [&](const std::wstring& drive) { return drive[0] != tree.root[0]; });
    ASSERT_NE(other, drives.end()) << "the test needs a second drive (Wine has Z:)";
    const HWND driveList = picker.Control(PickerControl::驱动框1);
    SendMessageW(driveList, CB_SETCURSEL, static_cast<WPARAM>(other - drives.begin()), 0);
    SendMessageW(picker.window, WM_COMMAND, MAKEWPARAM(ControlId(PickerControl::驱动框1), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(driveList));
    EXPECT_EQ(picker.Text(PickerControl::编辑框1), *other);
    const std::vector<std::wstring> entries = picker.ListItems(PickerControl::目录框1);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0], *other);
    EXPECT_EQ(picker.Selected(PickerControl::目录框1), 0);

    SendMessageW(picker.window, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(TextOf(MainControl::目录编辑框1), tree.root);
}

TEST_F(FolderPickerWindowTest, AnEmptyBoxStartsAtDProgramFilesAndEscapeCancels) {
  SetReceiveDirectory(L"");
  WithPicker([&](const Picker& picker) {
    EXPECT_EQ(picker.Text(PickerControl::编辑框1), L"D:\\Program Files");
    const std::vector<std::wstring> drives = picker.ListItems(PickerControl::驱动框1);
    const LRESULT drive = picker.Selected(PickerControl::驱动框1);
    if (GetLogicalDrives() & (1u << 3)) {
      ASSERT_GE(drive, 0);
      EXPECT_EQ(drives[static_cast<std::size_t>(drive)], L"D:\\");
    } else {
      EXPECT_EQ(drive, CB_ERR) << "no drive D: on this machine, so none is selected";
    }
    // Through the picker's own loop, as a key press would come.
    PostMessageW(picker.Control(PickerControl::目录框1), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(TextOf(MainControl::目录编辑框1), L"");
}

}  // namespace
}  // namespace quenmora::win32
