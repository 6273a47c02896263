#include "link/wire/safe_file_name.h"

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

std::u16string_view TrimmedLikeWindows(std::u16string_view component) {
  const std::size_t kept = component.find_last_not_of(u". ");
  return component.substr(0, kept == std::u16string_view::npos ? 0 : kept + 1);
}

// Opening such a file runs a program, or a shortcut to one; Windows reads the two names by itself.
bool IsRunnable(std::u16string_view component) {
  static constexpr std::array<std::u16string_view, 27> kRunnableTypes = {
      u"exe", u"com", u"bat", u"cmd", u"scr", u"pif", u"cpl", u"msi", u"msp",
      u"dll", u"sys", u"drv", u"ps1", u"psm1", u"vbs", u"vbe", u"js", u"jse",
      u"wsf", u"wsh", u"hta", u"jar", u"lnk", u"url", u"reg", u"inf", u"scf"};
  static constexpr std::array<std::u16string_view, 2> kReadByWindows = {u"desktop.ini", u"autorun.inf"};
  const std::u16string_view name = TrimmedLikeWindows(component);
  const std::size_t dot = name.rfind(u'.');
  const auto equals = [](std::u16string_view text) {
    return [text](std::u16string_view listed) { return EqualIgnoringAsciiCase(text, listed); };
  };
  const bool runnableType =
      dot != std::u16string_view::npos && std::ranges::any_of(kRunnableTypes, equals(name.substr(dot + 1)));
  return runnableType || std::ranges::any_of(kReadByWindows, equals(name));
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
    if (component == u".." || IsRunnable(component)) return false;
    if (windowsRules && (IsDeviceName(component) || IsDotsAndSpaces(component))) return false;
    begin += component.size() + 1;
  }
  return true;
}

}  // namespace quenmora::link
