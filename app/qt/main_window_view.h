#pragma once
// The main window "Quenmora" with Qt Widgets: renders the layout table and hands the buttons'
// clicks to the portable app::MainWindow, which the program creates with this view.
#include <QWidget>

#include <memory>
#include <string>
#include <string_view>

#include "app/main_view.h"
#include "app/main_window.h"
#include "app/qt/queued_executor.h"
#include "app/qt/rendered_widgets.h"

namespace quenmora::qt {

class MainWindowView : public QWidget, public app::MainView {
 public:
  MainWindowView();

  // Runs tasks on this window's thread, in order; tasks given after the window is gone are dropped.
  link::UiExecutor executor() const { return queue_.executor(); }
  // The buttons' clicks, and the window's closing, go to `logic` from now on.
  void HandClicksTo(app::MainWindow& logic);
  QWidget* control(app::MainControl control) const { return widgets_.widget(control); }

  std::string Text(app::MainControl control, bool* replaced = nullptr) override;
  void SetText(app::MainControl control, std::string_view text) override;
  void AppendText(app::MainControl control, std::string_view text) override;
  void Focus(app::MainControl control) override;
  void ShowMessage(std::string_view text) override;
  std::unique_ptr<app::FolderPickerView> NewFolderPicker() override;

 protected:
  // What was read is handled while the window, and the receive directory in it, still exist.
  void closeEvent(QCloseEvent* event) override;

 private:
  app::MainWindow* logic_ = nullptr;
  RenderedWidgets widgets_;
  QueuedExecutor queue_;
};

}  // namespace quenmora::qt
