#pragma once
// The main window "Quenmora" on Win32: renders the layout table and hands every event to the
// portable app::MainWindow, which the program creates with this view.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "app/main_view.h"
#include "app/main_window.h"
#include "app/win32/rendered_controls.h"
#include "app/win32/window_procedure.h"
#include "app/win32/ui_queue.h"

namespace quenmora::win32 {

class MainWindowView : public app::MainView {
 public:
  explicit MainWindowView(HINSTANCE instance);
  ~MainWindowView() override;
  MainWindowView(const MainWindowView&) = delete;
  MainWindowView& operator=(const MainWindowView&) = delete;

  // The window's creation and the buttons' clicks go to `logic`; given before Open.
  void HandEventsTo(app::MainWindow& logic) { logic_ = &logic; }
  // Creates the window, which tells the logic it has been created, and shows it.
  bool Open(int showCommand);
  HWND window() const { return window_; }
  HWND control(app::MainControl control) const { return controls_.Handle(control); }
  // Runs tasks on the window's thread, in order; tasks given after the window is gone are dropped.
  link::UiExecutor executor() const { return ExecutorFor(queue_); }

  std::string Text(app::MainControl control, bool* replaced = nullptr) override;
  void SetText(app::MainControl control, std::string_view text) override;
  void AppendText(app::MainControl control, std::string_view text) override;
  void Focus(app::MainControl control) override;
  void ShowMessage(std::string_view text) override;
  std::unique_ptr<app::FolderPickerView> NewFolderPicker() override;

 private:
  friend LRESULT CALLBACK ObjectWindowProcedure<MainWindowView>(HWND, UINT, WPARAM, LPARAM);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  // The control that gets the focus when the window is activated: the one that had it when the
  // window was last deactivated, or the one the logic named since.
  HWND focus_ = nullptr;
  std::shared_ptr<UiQueue> queue_ = std::make_shared<UiQueue>();
  RenderedControls controls_;
  app::MainWindow* logic_ = nullptr;
};

}  // namespace quenmora::win32
