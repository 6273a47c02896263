#pragma once
// One window's controls made from its layout table as Qt widgets: kind, place, text, colours
// and fonts. Positions and sizes are the table's 96-DPI pixels, taken as Qt's logical pixels,
// so Qt scales them on screens of other densities. Controls inside a group box are its children.
#include <QString>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

#include "app/layout.h"

namespace quenmora::qt {

class RenderedWidgets {
 public:
  // Sets `window`'s caption, position, size and default font and makes its controls.
  RenderedWidgets(const app::WindowSpec& layout, QWidget& window);

  QWidget* widget(int layoutId) const;
  template <typename Control>
  QWidget* widget(Control control) const { return widget(static_cast<int>(control)); }
  template <typename Widget, typename Control>
  Widget* as(Control control) const { return qobject_cast<Widget*>(widget(control)); }

  // Every button's click goes to `clicked` with the button's layout id.
  void OnButtonClicked(const std::function<void(int layoutId)>& clicked) const;

  // What a control shows: a label's, button's or group box's text, or an edit box's content,
  // its lines separated by CR LF as on Windows.
  QString Text(int layoutId) const;
  // Replaces what a control shows; CR LF or LF separate the lines of a multi-line box.
  void SetText(int layoutId, const QString& text) const;

 private:
  std::vector<std::pair<int, QWidget*>> widgets_;
};

}  // namespace quenmora::qt
