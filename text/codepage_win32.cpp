// Code-page conversion by the platform, which also supplies Windows' look-alike mappings.
#include <windows.h>

#include "text/codepage.h"

namespace quenmora::text {

std::u16string MultiByteToUtf16(std::string_view text, unsigned codePage) {
  if (text.empty()) return {};
  const auto sourceLength = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), sourceLength, nullptr, 0);
  if (length <= 0) return {};
  std::u16string result(static_cast<std::size_t>(length), u'\0');
  const int written = MultiByteToWideChar(codePage, 0, text.data(), sourceLength,
                                          reinterpret_cast<wchar_t*>(result.data()), length);
  result.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return result;
}

std::string Utf16ToMultiByte(std::u16string_view text, unsigned codePage) {
  if (text.empty()) return {};
  const auto source = reinterpret_cast<const wchar_t*>(text.data());
  const auto sourceLength = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(codePage, 0, source, sourceLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string result(static_cast<std::size_t>(length), '\0');
  const int written = WideCharToMultiByte(codePage, 0, source, sourceLength, result.data(), length,
                                          nullptr, nullptr);
  result.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return result;
}

std::string Utf16ToGbkWithoutLookAlikes(std::u16string_view text, bool* replaced) {
  if (replaced) *replaced = false;
  if (text.empty()) return {};
  constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
  const auto source = reinterpret_cast<const wchar_t*>(text.data());
  const auto sourceLength = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(kCodePageGbk, kFlags, source, sourceLength, nullptr, 0,
                                         nullptr, nullptr);
  if (length <= 0) return {};
  std::string result(static_cast<std::size_t>(length), '\0');
  BOOL usedDefault = FALSE;
  const int written = WideCharToMultiByte(kCodePageGbk, kFlags, source, sourceLength,
                                          result.data(), length, nullptr, &usedDefault);
  result.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  if (replaced) *replaced = usedDefault != FALSE;
  return result;
}

}  // namespace quenmora::text
