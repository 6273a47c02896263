#include "app/qt/folder_picker_dialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

#include "app/directory_list_model.h"
#include "app/qt/qt_text.h"

namespace quenmora::qt {

using app::PickerControl;

FolderPickerDialog::FolderPickerDialog(QWidget* owner)
    : QDialog(owner), widgets_(app::FolderPickerLayout(), *this) {
  setModal(true);
  auto* directoryList = widgets_.as<QListWidget>(PickerControl::目录框1);
  directoryList->installEventFilter(this);
  directoryList->viewport()->installEventFilter(this);
}

void FolderPickerDialog::Attach(app::FolderPicker& logic) {
  logic_ = &logic;
  widgets_.OnButtonClicked([&logic](int id) { logic.Clicked(static_cast<PickerControl>(id)); });
  // Only the operator's choice: a drive selected from code does not emit `activated`.
  connect(widgets_.as<QComboBox>(PickerControl::驱动框1), &QComboBox::activated, this,
          [&logic](int row) { logic.DriveChosen(row); });
  connect(widgets_.as<QListWidget>(PickerControl::目录框1), &QListWidget::doubleClicked, this,
          [&logic](const QModelIndex& index) { logic.EntryOpened(index.row()); });
  logic.Created();
}

void FolderPickerDialog::RunModal(app::FolderPicker& logic) {
  Attach(logic);
  exec();
}

void FolderPickerDialog::ShowDrives(std::span<const std::string> drives) {
  auto* list = widgets_.as<QComboBox>(PickerControl::驱动框1);
  list->clear();
  for (const std::string& drive : drives) list->addItem(ToQString(drive));
}

void FolderPickerDialog::SelectDrive(std::optional<std::size_t> index) {
  widgets_.as<QComboBox>(PickerControl::驱动框1)->setCurrentIndex(index ? static_cast<int>(*index) : -1);
}

void FolderPickerDialog::ShowDirectories(std::span<const app::DirectoryEntry> entries,
                                         std::size_t current) {
  auto* list = widgets_.as<QListWidget>(PickerControl::目录框1);
  list->clear();
  for (const app::DirectoryEntry& entry : entries) list->addItem(ToQString(app::DisplayLine(entry)));
  list->setCurrentRow(static_cast<int>(current));
}

void FolderPickerDialog::SetSelectedDirectory(std::string_view text) {
  widgets_.SetText(static_cast<int>(PickerControl::编辑框1), ToQString(text));
}

void FolderPickerDialog::Close() { done(QDialog::Rejected); }

void FolderPickerDialog::reject() {
  if (logic_)
    logic_->CloseRequested();
  else
    QDialog::reject();
}

bool FolderPickerDialog::eventFilter(QObject* watched, QEvent* event) {
  auto* list = widgets_.as<QListWidget>(PickerControl::目录框1);
  if (logic_ && watched == list->viewport() && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    logic_->DirectoryListPressed();
  }
  if (watched == list && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (logic_) logic_->EntryOpened(list->currentRow());
      return true;  // not the dialog's default button as well
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace quenmora::qt
