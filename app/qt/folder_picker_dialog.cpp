#include "app/qt/folder_picker_dialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <utility>

#include "app/directory_list_model.h"
#include "app/qt/qt_text.h"

namespace quenmora::qt {

using app::PickerControl;

FolderPickerDialog::FolderPickerDialog(QWidget* owner, std::vector<std::string> drives)
    : QDialog(owner), widgets_(app::FolderPickerLayout(), *this), drives_(std::move(drives)) {
  setModal(true);
  auto* driveList = widgets_.as<QComboBox>(PickerControl::驱动框1);
  for (const std::string& drive : drives_) driveList->addItem(ToQString(drive));
  auto* directoryList = widgets_.as<QListWidget>(PickerControl::目录框1);
  directoryList->installEventFilter(this);
  directoryList->viewport()->installEventFilter(this);
}

void FolderPickerDialog::HandEventsTo(app::FolderPicker& logic) {
  logic_ = &logic;
  connect(widgets_.as<QPushButton>(PickerControl::按钮1), &QPushButton::clicked, this,
          [&logic] { logic.OkClicked(); });
  connect(widgets_.as<QPushButton>(PickerControl::按钮2), &QPushButton::clicked, this,
          [&logic] { logic.CancelClicked(); });
  // Only the operator's choice: a drive selected from code does not emit `activated`.
  connect(widgets_.as<QComboBox>(PickerControl::驱动框1), &QComboBox::activated, this,
          [this, &logic](int index) {
            if (index >= 0 && static_cast<std::size_t>(index) < drives_.size())
              logic.DriveChanged(drives_[static_cast<std::size_t>(index)]);
          });
  connect(widgets_.as<QListWidget>(PickerControl::目录框1), &QListWidget::doubleClicked, this,
          [this](const QModelIndex& index) { OpenEntry(index.row()); });
}

void FolderPickerDialog::SelectDrive(std::string_view root) {
  const std::optional<std::size_t> drive = app::DriveHolding(drives_, root);
  widgets_.as<QComboBox>(PickerControl::驱动框1)->setCurrentIndex(drive ? static_cast<int>(*drive) : -1);
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
    logic_->CancelClicked();
  else
    QDialog::reject();
}

bool FolderPickerDialog::eventFilter(QObject* watched, QEvent* event) {
  auto* list = widgets_.as<QListWidget>(PickerControl::目录框1);
  if (logic_ && watched == list->viewport() && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    logic_->ShowListValue();
  }
  if (watched == list && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OpenEntry(list->currentRow());
      return true;  // not the dialog's default button as well
    }
  }
  return QDialog::eventFilter(watched, event);
}

void FolderPickerDialog::OpenEntry(int row) {
  if (logic_ && row >= 0) logic_->EntryOpened(static_cast<std::size_t>(row));
}

}  // namespace quenmora::qt
