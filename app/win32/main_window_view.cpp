#include "app/win32/main_window_view.h"

#include <optional>

#include "app/texts.h"
#include "app/win32/control_ids.h"
#include "app/win32/dpi.h"
#include "app/win32/folder_picker_window.h"
#include "app/win32/layout_window.h"
#include "app/win32/wide_text.h"

namespace quenmora::win32 {
namespace {

using app::MainControl;

// A fixed frame: the layout is made for one size.
const WindowKind kMainWindowKind{.className = kMainWindowClass,
                                 .procedure = ObjectWindowProcedure<MainWindowView>,
                                 .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 .exStyle = 0,
                                 .applicationIcon = true};

}  // namespace

MainWindowView::MainWindowView(HINSTANCE instance)
    : instance_(instance), controls_(app::MainWindowLayout()) {}

MainWindowView::~MainWindowView() {
  if (window_) DestroyWindow(window_);
}

bool MainWindowView::Open(int showCommand) {
  CreateLayoutWindow(instance_, kMainWindowKind, app::MainWindowLayout(), nullptr, this);
  if (!window_) return false;
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  return true;
}

LRESULT MainWindowView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result; controls_.HandleWindowMessage(window_, message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_CREATE:
      controls_.Create(instance_, window_, WindowDpi(window_));
      queue_->Attach(window_);
      if (logic_) logic_->Created();
      return 0;
    case UiQueue::kRunTasks:
      queue_->RunPending();
      return 0;
    case WM_COMMAND:
      if (const std::optional<int> button = controls_.ClickedButton(wParam); button && logic_)
        logic_->Clicked(static_cast<MainControl>(*button));
      return 0;
    // The focus goes back to where it was; at first, to where the logic put it.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && IsChild(window_, GetFocus())) focus_ = GetFocus();
      break;
    case WM_SETFOCUS:
      if (IsWindow(focus_)) SetFocus(focus_);
      return 0;
    // What was read is handled while the window, and the receive directory in it, still exist.
    case WM_CLOSE:
      if (logic_) logic_->Close();
      queue_->RunPending();
      break;
    case WM_DESTROY:
      queue_->Detach();
      break;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

std::string MainWindowView::Text(MainControl control, bool* replaced) {
  return Gbk(WindowText(controls_.Handle(control)), replaced);
}

void MainWindowView::SetText(MainControl control, std::string_view text) {
  SetWindowTextW(controls_.Handle(control), Wide(text).c_str());
}

// The caret, the selection and the scroll position stay as they were: the first lines of the
// information box (the addresses the operator needs) must not scroll away as the rest arrives.
void MainWindowView::AppendText(MainControl control, std::string_view text) {
  const HWND box = controls_.Handle(control);
  DWORD selectionStart = 0;
  DWORD selectionEnd = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
  const LRESULT firstVisibleLine = SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(box, WM_SETREDRAW, FALSE, 0);
  const int end = GetWindowTextLengthW(box);
  SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  SendMessageW(box, EM_SETSEL, selectionStart, static_cast<LPARAM>(selectionEnd));
  SendMessageW(box, EM_LINESCROLL, 0, firstVisibleLine - SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessageW(box, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(box, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);  // the scroll bar too
}

void MainWindowView::Focus(MainControl control) {
  focus_ = controls_.Handle(control);
  if (GetActiveWindow() == window_) SetFocus(focus_);
}

void MainWindowView::ShowMessage(std::string_view text) {
  // Without an owner once the window has gone.
  MessageBoxW(IsWindow(window_) ? window_ : nullptr, Wide(text).c_str(), Wide(app::kMessageBoxCaption).c_str(),
              MB_OK);
}

std::unique_ptr<app::FolderPickerView> MainWindowView::NewFolderPicker() {
  return std::make_unique<FolderPickerWindow>(instance_, window_);
}

}  // namespace quenmora::win32
