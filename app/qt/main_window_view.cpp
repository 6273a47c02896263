#include "app/qt/main_window_view.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "app/qt/folder_picker_dialog.h"
#include "app/qt/qt_text.h"
#include "app/texts.h"

namespace quenmora::qt {

using app::MainControl;

MainWindowView::MainWindowView() : widgets_(app::MainWindowLayout(), *this) {}

void MainWindowView::HandClicksTo(app::MainWindow& logic) {
  logic_ = &logic;
  widgets_.OnButtonClicked([&logic](int id) { logic.Clicked(static_cast<MainControl>(id)); });
}

std::string MainWindowView::Text(MainControl control, bool* replaced) {
  return ToGbk(widgets_.Text(static_cast<int>(control)), replaced);
}

void MainWindowView::SetText(MainControl control, std::string_view text) {
  widgets_.SetText(static_cast<int>(control), ToQString(text));
}

// The caret, the selection and the scroll position stay as they were: the first lines of the
// information box (the addresses the operator needs) must not scroll away as the rest arrives.
void MainWindowView::AppendText(MainControl control, std::string_view text) {
  auto* box = widgets_.as<QPlainTextEdit>(control);
  if (!box) return;
  const QTextCursor caret = box->textCursor();
  const int anchor = caret.anchor();
  const int position = caret.position();
  const int scrolled = box->verticalScrollBar()->value();

  QTextCursor end(box->document());
  end.movePosition(QTextCursor::End);
  end.insertText(ToQString(text));

  // A caret at the end moved along with the insertion; it goes back.
  QTextCursor restored(box->document());
  restored.setPosition(anchor);
  restored.setPosition(position, QTextCursor::KeepAnchor);
  box->setTextCursor(restored);
  box->verticalScrollBar()->setValue(scrolled);
}

// A window that is not active yet gives the widget the focus when it becomes active.
void MainWindowView::Focus(MainControl control) { widgets_.widget(control)->setFocus(); }

void MainWindowView::closeEvent(QCloseEvent* event) {
  if (logic_) logic_->Close();
  queue_.RunPending();
  QWidget::closeEvent(event);
}

void MainWindowView::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(app::kMessageBoxCaption), ToQString(text),
                  QMessageBox::Ok, this);
  box.exec();
}

std::unique_ptr<app::FolderPickerView> MainWindowView::NewFolderPicker() {
  return std::make_unique<FolderPickerDialog>(this);
}

}  // namespace quenmora::qt
