#pragma once
// The folder picker "浏览文件夹" with Qt Widgets: a modal dialog over the main window that
// renders its layout table and hands every event to the portable app::FolderPicker.
#include <QDialog>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/folder_picker.h"
#include "app/folder_picker_view.h"
#include "app/qt/rendered_widgets.h"

namespace quenmora::qt {

class FolderPickerDialog final : public QDialog, public app::FolderPickerView {
 public:
  explicit FolderPickerDialog(QWidget* owner);

  // The operator's actions go to `logic` from now on, and it fills the controls at once.
  // RunModal then shows the dialog; a test may show it without the modal loop.
  void Attach(app::FolderPicker& logic);
  QWidget* control(app::PickerControl control) const { return widgets_.widget(control); }

  void RunModal(app::FolderPicker& logic) override;
  void ShowDrives(std::span<const std::string> drives) override;
  void SelectDrive(std::optional<std::size_t> index) override;
  void ShowDirectories(std::span<const app::DirectoryEntry> entries, std::size_t current) override;
  void SetSelectedDirectory(std::string_view text) override;
  void Close() override;

  // Escape and the frame's close box.
  void reject() override;

 private:
  // The directory list: a press of the left button is reported before the list handles it as
  // usual; Enter opens the selected entry.
  bool eventFilter(QObject* watched, QEvent* event) override;

  RenderedWidgets widgets_;
  app::FolderPicker* logic_ = nullptr;
};

}  // namespace quenmora::qt
