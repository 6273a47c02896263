#include "app/qt/rendered_widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

#include "app/qt/qt_text.h"

namespace quenmora::qt {
namespace {

using app::Border;
using app::ControlKind;

// The layout was drawn for the 9-point (12-pixel) font of a Chinese Windows; the same size keeps
// every text inside its control. The family is the system's, which fontconfig completes with its
// Chinese font.
constexpr int kDefaultFontPixels = 12;

QColor ToQColor(app::Rgb colour) { return QColor(colour.r, colour.g, colour.b); }

QFont OwnFont(const app::FontSpec& wanted) {
  QFont font;
  // A family fontconfig lacks ("宋体" on most Linux systems) falls back to its Chinese font.
  font.setFamilies({ToQString(wanted.face)});
  font.setPixelSize(wanted.height);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  return font;
}

QWidget* Label(const app::ControlSpec& entry) {
  auto* label = new QLabel(ToQString(entry.text));
  // Text in a box sits in its middle, as in a field; other labels begin at their top, as
  // Windows' static text does.
  label->setAlignment(Qt::AlignLeft | (entry.border == Border::None ? Qt::AlignTop : Qt::AlignVCenter));
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  if (entry.border == Border::Single) label->setFrameShape(QFrame::Box);
  if (entry.border == Border::Sunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return label;
}

QWidget* Edit(const app::ControlSpec& entry) {
  if (!entry.multiLine) {
    auto* edit = new QLineEdit(ToQString(entry.text));
    edit->setFrame(entry.border != Border::None);
    return edit;
  }
  // Wrapped at the box's width; without a scroll bar the text still scrolls with the caret.
  auto* edit = new QPlainTextEdit(ToQString(entry.text));
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(entry.verticalScroll ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
  if (entry.border == Border::None) edit->setFrameShape(QFrame::NoFrame);
  return edit;
}

QWidget* Create(const app::ControlSpec& entry) {
  switch (entry.kind) {
    case ControlKind::Label:
      return Label(entry);
    case ControlKind::Edit:
      return Edit(entry);
    case ControlKind::GroupBox:
      return new QGroupBox(ToQString(entry.text));
    case ControlKind::Button:
      return new QPushButton(ToQString(entry.text));
    case ControlKind::DriveList:
      return new QComboBox;
    case ControlKind::DirectoryList:
      return new QListWidget;
  }
  return new QWidget;
}

// Text colour: what each kind draws its text with. Background colour: an edit box's field, or a
// label's whole area.
void ApplyColours(QWidget& widget, const app::ControlSpec& entry) {
  if (!entry.textColour && !entry.backColour) return;
  QPalette palette = widget.palette();
  const bool edit = entry.kind == ControlKind::Edit;
  if (entry.textColour) palette.setColor(edit ? QPalette::Text : QPalette::WindowText, ToQColor(*entry.textColour));
  if (entry.backColour) {
    palette.setColor(edit ? QPalette::Base : QPalette::Window, ToQColor(*entry.backColour));
    widget.setAutoFillBackground(!edit);
  }
  widget.setPalette(palette);
}

}  // namespace

RenderedWidgets::RenderedWidgets(const app::WindowSpec& layout, QWidget& window) {
  window.setWindowTitle(ToQString(layout.caption));
  QFont font = window.font();
  font.setPixelSize(kDefaultFontPixels);
  window.setFont(font);
  // The window system draws the frame around it.
  window.setFixedSize(layout.clientWidth, layout.clientHeight);
  window.move(layout.left, layout.top);

  for (const app::ControlSpec& entry : layout.controls) {
    QWidget* widget = Create(entry);
    widget->setParent(entry.parent ? this->widget(*entry.parent) : &window);
    widget->setGeometry(entry.left, entry.top, entry.width, entry.height);
    ApplyColours(*widget, entry);
    if (entry.font) widget->setFont(OwnFont(*entry.font));
    widgets_.emplace_back(entry.id, widget);
  }
}

QWidget* RenderedWidgets::widget(int layoutId) const {
  const auto found = std::ranges::find(widgets_, layoutId, &std::pair<int, QWidget*>::first);
  return found == widgets_.end() ? nullptr : found->second;
}

void RenderedWidgets::OnButtonClicked(const std::function<void(int layoutId)>& clicked) const {
  for (const auto& [id, widget] : widgets_) {
    if (auto* button = qobject_cast<QPushButton*>(widget))
      QObject::connect(button, &QPushButton::clicked, button, [clicked, id] { clicked(id); });
  }
}

QString RenderedWidgets::Text(int layoutId) const {
  QWidget* control = widget(layoutId);
  if (const auto* box = qobject_cast<QPlainTextEdit*>(control))
    return box->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
  if (const auto* line = qobject_cast<QLineEdit*>(control)) return line->text();
  if (const auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (const auto* button = qobject_cast<QPushButton*>(control)) return button->text();
  if (const auto* group = qobject_cast<QGroupBox*>(control)) return group->title();
  return {};
}

void RenderedWidgets::SetText(int layoutId, const QString& text) const {
  QWidget* control = widget(layoutId);
  if (auto* box = qobject_cast<QPlainTextEdit*>(control)) box->setPlainText(text);
  if (auto* line = qobject_cast<QLineEdit*>(control)) {
    line->setText(text);
    line->setCursorPosition(0);  // the beginning of a long path in view, as on Windows
  }
  if (auto* label = qobject_cast<QLabel*>(control)) label->setText(text);
  if (auto* button = qobject_cast<QPushButton*>(control)) button->setText(text);
  if (auto* group = qobject_cast<QGroupBox*>(control)) group->setTitle(text);
}

}  // namespace quenmora::qt
