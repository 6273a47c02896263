// The received-name check on any name: a name it accepts stays inside the receive directory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "link/wire/safe_file_name.h"

namespace {

using quenmora::fuzz::Require;

// The characters that decide: separators, dots, spaces, a drive's colon, device names' letters
// and digits, a superscript one.
constexpr std::u16string_view kDecisive = u"./\\: .CONULPTcon1\u00b9a";

// The name the bytes stand for: after an even first byte, UTF-16 units as they are; otherwise
// each byte picks a decisive character, or above them any unit.
std::u16string NameOf(const std::uint8_t* data, std::size_t size) {
  std::u16string name;
  if (size == 0) return name;
  if (data[0] % 2 == 0) {
    for (std::size_t i = 1; i + 1 < size; i += 2) name.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    return name;
  }
  for (std::size_t i = 1; i < size; ++i) {
    name.push_back(data[i] < kDecisive.size() * 8 ? kDecisive[data[i] % kDecisive.size()]
                                                   : static_cast<char16_t>(data[i]));
  }
  return name;
}

constexpr bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// Windows drops trailing dots and spaces from a component: "..", ".. " and "..." can all mean
// the parent directory.
bool WindowsCouldTrimToParent(std::u16string_view component) {
  return component.starts_with(u"..") &&
         component.substr(2).find_first_not_of(u". ") == std::u16string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string name = NameOf(data, size);
  for (const bool windowsRules : {false, true}) {
    if (!quenmora::link::IsSafeFileName(name, windowsRules)) continue;
    Require(!name.empty(), "an accepted name is not empty");
    Require(!IsSeparator(name.front()), "an accepted name does not begin at the root");
    Require(name.find(u':') == std::u16string::npos, "an accepted name names no drive or stream");
    for (std::size_t begin = 0; begin <= name.size();) {
      std::size_t end = begin;
      while (end < name.size() && !IsSeparator(name[end])) ++end;
      const std::u16string_view component = std::u16string_view(name).substr(begin, end - begin);
      Require(component != u"..", "an accepted name has no parent component");
      if (windowsRules) Require(!WindowsCouldTrimToParent(component), "Windows trims no accepted component to '..'");
      begin = end + 1;
    }
  }
  Require(!quenmora::link::IsSafeFileName(name, true) || quenmora::link::IsSafeFileName(name, false),
          "Windows' rules only refuse more");
  return 0;
}
