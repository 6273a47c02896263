#include "app/win32/folder_picker_window.h"

#include <commctrl.h>

#include "app/win32/control_ids.h"
#include "app/win32/dpi.h"
#include "app/win32/layout_window.h"
#include "app/win32/wide_text.h"

namespace quenmora::win32 {
namespace {

using app::PickerControl;

constexpr UINT_PTR kListSubclass = 1;

const WindowKind kPickerKind{.className = kFolderPickerClass,
                             .procedure = ObjectWindowProcedure<FolderPickerWindow>,
                             .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                             .exStyle = WS_EX_DLGMODALFRAME};

}  // namespace

FolderPickerWindow::FolderPickerWindow(HINSTANCE instance, HWND owner)
    : instance_(instance), owner_(owner), controls_(app::FolderPickerLayout()) {}

FolderPickerWindow::~FolderPickerWindow() {
  if (window_) DestroyWindow(window_);
}

void FolderPickerWindow::RunModal(app::FolderPicker& logic) {
  logic_ = &logic;
  CreateLayoutWindow(instance_, kPickerKind, app::FolderPickerLayout(), owner_, this);
  if (!window_) return;
  if (owner_) EnableWindow(owner_, FALSE);
  ShowWindow(window_, SW_SHOW);

  bool quit = false;
  MSG message{};
  while (!closed_ && window_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      break;
    }
    if (!IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // The owner is enabled before the picker goes, so the activation returns to it.
  if (owner_) EnableWindow(owner_, TRUE);
  if (window_) DestroyWindow(window_);
  // The program's own loop must see a quit that arrived here.
  if (quit) PostQuitMessage(static_cast<int>(message.wParam));
  logic_ = nullptr;
}

LRESULT FolderPickerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result; controls_.HandleWindowMessage(window_, message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_CREATE:
      Created();
      return 0;
    case WM_COMMAND:
      Command(wParam);
      return 0;
    case WM_CLOSE:  // the frame's close box
      logic_->CloseRequested();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void FolderPickerWindow::Created() {
  controls_.Create(instance_, window_, WindowDpi(window_));
  SetWindowSubclass(controls_.Handle(PickerControl::目录框1), ListProcedure, kListSubclass,
                    reinterpret_cast<DWORD_PTR>(this));
  logic_->Created();
}

void FolderPickerWindow::Command(WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int notification = HIWORD(wParam);
  if (const std::optional<int> button = controls_.ClickedButton(wParam)) {
    logic_->Clicked(static_cast<PickerControl>(*button));
  } else if (id == IDCANCEL) {  // Escape
    logic_->CloseRequested();
  } else if (id == ControlId(PickerControl::驱动框1) && notification == CBN_SELCHANGE) {
    // Only the operator's choice gets here: CB_SETCURSEL from SelectDrive sends no notification.
    logic_->DriveChosen(SendMessageW(controls_.Handle(PickerControl::驱动框1), CB_GETCURSEL, 0, 0));
  } else if (id == ControlId(PickerControl::目录框1) && notification == LBN_DBLCLK) {
    OpenSelectedEntry();
  }
}

void FolderPickerWindow::OpenSelectedEntry() {
  logic_->EntryOpened(SendMessageW(controls_.Handle(PickerControl::目录框1), LB_GETCURSEL, 0, 0));
}

// The directory list: a press of the left button shows the list's value in the selected-directory
// label before the list handles the press as usual; Enter opens the selected entry.
LRESULT CALLBACK FolderPickerWindow::ListProcedure(HWND list, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* picker = reinterpret_cast<FolderPickerWindow*>(self);
  switch (message) {
    case WM_LBUTTONDOWN:
      picker->logic_->DirectoryListPressed();
      break;
    case WM_GETDLGCODE: {
      const auto* pending = reinterpret_cast<const MSG*>(lParam);
      if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
        return DefSubclassProc(list, message, wParam, lParam) | DLGC_WANTMESSAGE;
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        picker->OpenSelectedEntry();
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, ListProcedure, kListSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

void FolderPickerWindow::ShowDrives(std::span<const std::string> drives) {
  const HWND list = controls_.Handle(PickerControl::驱动框1);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& root : drives)
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(root).c_str()));
}

void FolderPickerWindow::SelectDrive(std::optional<std::size_t> index) {
  // CB_ERR (-1): none selected
  SendMessageW(controls_.Handle(PickerControl::驱动框1), CB_SETCURSEL,
               index ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(CB_ERR), 0);
}

void FolderPickerWindow::ShowDirectories(std::span<const app::DirectoryEntry> entries, std::size_t current) {
  const HWND list = controls_.Handle(PickerControl::目录框1);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const app::DirectoryEntry& entry : entries) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(app::DisplayLine(entry)).c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, current, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void FolderPickerWindow::SetSelectedDirectory(std::string_view text) {
  SetWindowTextW(controls_.Handle(PickerControl::编辑框1), Wide(text).c_str());
}

void FolderPickerWindow::Close() { closed_ = true; }

}  // namespace quenmora::win32
