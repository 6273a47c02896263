#pragma once
// Checks one rendered control against its layout table entry: the widget kind, the rectangle in
// the window's client area in logical pixels, the text, the colours and the font.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/layout.h"
#include "app/qt/qt_text.h"

namespace quenmora::qt::testing {

inline bool IsOfKind(const QWidget* widget, app::ControlKind kind, bool multiLine) {
  switch (kind) {
    case app::ControlKind::Label:
      return qobject_cast<const QLabel*>(widget);
    case app::ControlKind::Edit:
      return multiLine ? qobject_cast<const QPlainTextEdit*>(widget) != nullptr
                       : qobject_cast<const QLineEdit*>(widget) != nullptr;
    case app::ControlKind::GroupBox:
      return qobject_cast<const QGroupBox*>(widget);
    case app::ControlKind::Button:
      return qobject_cast<const QPushButton*>(widget);
    case app::ControlKind::DriveList:
      return qobject_cast<const QComboBox*>(widget);
    case app::ControlKind::DirectoryList:
      return qobject_cast<const QListWidget*>(widget);
  }
  return false;
}

inline QString ShownText(const QWidget* widget) {
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (const auto* button = qobject_cast<const QPushButton*>(widget)) return button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  if (const auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text();
  if (const auto* box = qobject_cast<const QPlainTextEdit*>(widget)) return box->toPlainText();
  return {};
}

inline QColor ToQColor(app::Rgb colour) { return QColor(colour.r, colour.g, colour.b); }

// `checkText`: false for the boxes the program fills after start.
inline void CheckControl(const QWidget& window, const app::WindowSpec& layout,
                         const app::ControlSpec& entry, const QWidget* widget, bool checkText) {
  QVERIFY2(widget, "the control exists");
  QVERIFY2(IsOfKind(widget, entry.kind, entry.multiLine), widget->metaObject()->className());
  const app::Rect rect = app::ClientRect(layout, entry);
  QCOMPARE(QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size()),
           QRect(rect.left, rect.top, rect.width, rect.height));
  if (checkText) QCOMPARE(ShownText(widget), ToQString(entry.text));
  const bool edit = entry.kind == app::ControlKind::Edit;
  // Chinese is typed through the system's input method, in every edit box.
  if (edit) QVERIFY(widget->testAttribute(Qt::WA_InputMethodEnabled));
  if (const auto* box = qobject_cast<const QPlainTextEdit*>(widget)) {
    QCOMPARE(box->verticalScrollBarPolicy(),
             entry.verticalScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  }
  if (entry.textColour)
    QCOMPARE(widget->palette().color(edit ? QPalette::Text : QPalette::WindowText),
             ToQColor(*entry.textColour));
  if (entry.backColour) {
    QCOMPARE(widget->palette().color(edit ? QPalette::Base : QPalette::Window),
             ToQColor(*entry.backColour));
    QVERIFY(edit || widget->autoFillBackground());
  }
  if (entry.font) {
    QCOMPARE(widget->font().families(), QStringList{QString::fromUtf8("\u5b8b\u4f53")});  // 宋体
    QCOMPARE(widget->font().pixelSize(), entry.font->height);
  } else {
    QCOMPARE(widget->font().pixelSize(), 12);
  }
  QVERIFY(widget->isVisibleTo(&window));
  QVERIFY(widget->isEnabled());
}

// One row per control of `layout`, with its id in column "id".
inline void AddControlRows(const app::WindowSpec& layout) {
  QTest::addColumn<int>("id");
  for (const app::ControlSpec& entry : layout.controls) QTest::addRow("control %d", entry.id) << entry.id;
}

// The window itself: caption, the table's fixed client size, stored position.
inline void CheckWindow(const QWidget& window, const app::WindowSpec& layout) {
  QCOMPARE(window.windowTitle(), ToQString(layout.caption));
  QCOMPARE(window.size(), QSize(layout.clientWidth, layout.clientHeight));
  QCOMPARE(window.minimumSize(), window.maximumSize());
  QCOMPARE(window.pos(), QPoint(layout.left, layout.top));
}

}  // namespace quenmora::qt::testing
