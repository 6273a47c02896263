#pragma once
// The Qt edge of the program's texts: code-page-936 bytes to and from the QString of a widget.
#include <QString>

#include <string>
#include <string_view>

namespace quenmora::qt {

QString ToQString(std::string_view gbk);

// Characters code page 936 lacks become "?", never look-alikes; `*replaced` (when given) says
// whether any did.
std::string ToGbk(const QString& text, bool* replaced = nullptr);

}  // namespace quenmora::qt
