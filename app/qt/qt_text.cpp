#include "app/qt/qt_text.h"

#include "text/codepage.h"

namespace quenmora::qt {

QString ToQString(std::string_view gbk) {
  return QString::fromStdU16String(text::MultiByteToUtf16(gbk, text::kCodePageGbk));
}

std::string ToGbk(const QString& text, bool* replaced) {
  const std::u16string_view utf16(reinterpret_cast<const char16_t*>(text.utf16()),
                                  static_cast<std::size_t>(text.size()));
  return text::Utf16ToGbkWithoutLookAlikes(utf16, replaced);
}

}  // namespace quenmora::qt
