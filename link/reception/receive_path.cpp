#include "link/reception/receive_path.h"

#include <algorithm>

namespace quenmora::link {
namespace {

constexpr bool IsWindowsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDriveRoot(std::u16string_view directory) {
  const auto isLetter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
  return directory.size() >= 3 && isLetter(directory[0]) && directory[1] == u':' &&
         IsWindowsSeparator(directory[2]);
}

// A server or share part: something other than "", "." or "..".
bool NamesSomething(std::u16string_view part) {
  return part.find_first_not_of(u'.') != std::u16string_view::npos;
}

bool IsShare(std::u16string_view directory) {
  if (directory.size() < 2 || !IsWindowsSeparator(directory[0]) || !IsWindowsSeparator(directory[1])) {
    return false;
  }
  // The text from `from` up to the next separator or the end.
  const auto part = [&](std::size_t from) {
    return directory.substr(from, directory.find_first_of(u"\\/", from) - from);
  };
  const std::u16string_view server = part(2);
  const std::size_t shareStart = 2 + server.size() + 1;
  if (!NamesSomething(server) || server == u"?" || shareStart > directory.size()) return false;
  return NamesSomething(part(shareStart));
}

}  // namespace

std::u16string ReceivePath(std::u16string_view directory, std::u16string_view name, PathStyle style) {
  std::u16string path;
  path.reserve(directory.size() + 1 + name.size());
  path.append(directory);
  const auto nameStart = static_cast<std::ptrdiff_t>(path.size() + 1);
  path.push_back(style == PathStyle::kWindows ? u'\\' : u'/');
  path.append(name);
  if (style == PathStyle::kPosix) std::replace(path.begin() + nameStart, path.end(), u'\\', u'/');
  return path;
}

bool IsAbsoluteReceiveDirectory(std::u16string_view directory, PathStyle style) {
  if (style == PathStyle::kPosix) return directory.starts_with(u'/');
  return IsDriveRoot(directory) || IsShare(directory);
}

}  // namespace quenmora::link
