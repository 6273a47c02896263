#pragma once
// The folder picker "浏览文件夹" with Qt Widgets: a modal dialog over the main window that
// renders its layout table and hands every event to the portable app::FolderPicker.
#include <QDialog>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/folder_picker.h"
#include "app/folder_picker_view.h"
#include "app/qt/rendered_widgets.h"

namespace quenmora::qt {

class FolderPickerDialog final : public QDialog, public app::FolderPickerView {
 public:
  // `drives`: what the drive list offers, code page 936.
  FolderPickerDialog(QWidget* owner, std::vector<std::string> drives);

  // The operator's actions go to `logic` from now on.
  void HandEventsTo(app::FolderPicker& logic);
  QWidget* control(app::PickerControl control) const { return widgets_.widget(control); }

  void SelectDrive(std::string_view root) override;
  void ShowDirectories(std::span<const app::DirectoryEntry> entries, std::size_t current) override;
  void SetSelectedDirectory(std::string_view text) override;
  void Close() override;

  // Escape and the frame's close box cancel, as the cancel button does.
  void reject() override;

 private:
  // The directory list: a press of the left button refreshes the selected directory before the
  // list handles the press as usual; Enter opens the selected entry.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void OpenEntry(int row);

  RenderedWidgets widgets_;
  std::vector<std::string> drives_;
  app::FolderPicker* logic_ = nullptr;
};

}  // namespace quenmora::qt
