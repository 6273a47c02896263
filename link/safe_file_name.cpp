#include "link/safe_file_name.h"

#include <algorithm>
#include <array>

namespace quenmora::link {
namespace {

constexpr bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

constexpr char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  return std::ranges::equal(a, b, [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// Windows opens the device whatever follows the first "." and ignores spaces before it.
bool IsDeviceName(std::u16string_view component) {
  static constexpr std::array<std::u16string_view, 6> kFixed = {u"CON", u"PRN", u"AUX", u"NUL",
                                                                 u"CONIN$", u"CONOUT$"};
  std::u16string_view base = component.substr(0, component.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  if (std::ranges::any_of(kFixed, [&](std::u16string_view d) { return EqualIgnoringAsciiCase(base, d); })) {
    return true;
  }
  if (base.size() != 4) return false;
  const bool numbered = EqualIgnoringAsciiCase(base.substr(0, 3), u"COM") ||
                        EqualIgnoringAsciiCase(base.substr(0, 3), u"LPT");
  // Windows also takes the superscript digits 1 to 3 as port numbers.
  const char16_t digit = base[3];
  return numbered && ((digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
                      digit == u'\u00B3');
}

// Windows drops trailing dots and spaces from a path's last component, so ".. " can mean "..".
bool IsDotsAndSpaces(std::u16string_view component) {
  return std::ranges::count(component, u'.') >= 2 &&
         std::ranges::all_of(component, [](char16_t c) { return c == u'.' || c == u' '; });
}

}  // namespace

bool IsSafeFileName(std::u16string_view name, bool windowsRules) {
  if (name.empty() || IsSeparator(name.front()) || name.find(u':') != std::u16string_view::npos) {
    return false;
  }
  std::size_t begin = 0;
  while (begin <= name.size()) {
    const auto end = std::find_if(name.begin() + static_cast<std::ptrdiff_t>(begin), name.end(), IsSeparator);
    const std::u16string_view component =
        name.substr(begin, static_cast<std::size_t>(end - name.begin()) - begin);
    if (component == u"..") return false;
    if (windowsRules && (IsDeviceName(component) || IsDotsAndSpaces(component))) return false;
    begin += component.size() + 1;
  }
  return true;
}

}  // namespace quenmora::link
