#include "app/win32/wide_text.h"

#include "text/codepage.h"

namespace quenmora::win32 {

std::wstring Wide(std::string_view gbk) {
  const std::u16string utf16 = text::MultiByteToUtf16(gbk, text::kCodePageGbk);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string Gbk(std::wstring_view wide, bool* replaced) {
  if (replaced) *replaced = false;
  if (wide.empty()) return {};
  // No best fit: a character without its own GBK code becomes "?", never a look-alike, so what
  // is sent is exactly what the operator is told about.
  constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(wide.size());
  const int size = WideCharToMultiByte(text::kCodePageGbk, kFlags, wide.data(), length, nullptr, 0,
                                       nullptr, nullptr);
  if (size <= 0) return {};
  std::string gbk(static_cast<std::size_t>(size), '\0');
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(text::kCodePageGbk, kFlags, wide.data(), length, gbk.data(), size, nullptr,
                      &usedDefault);
  if (replaced) *replaced = usedDefault != FALSE;
  return gbk;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace quenmora::win32
