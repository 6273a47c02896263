#include "app/win32/wide_text.h"

#include "text/codepage.h"

namespace quenmora::win32 {

std::wstring Wide(std::string_view gbk) {
  const std::u16string utf16 = text::MultiByteToUtf16(gbk, text::kCodePageGbk);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string Gbk(std::wstring_view wide, bool* replaced) {
  return text::Utf16ToGbkWithoutLookAlikes(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()), replaced);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace quenmora::win32
