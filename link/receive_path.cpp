#include "link/receive_path.h"

#include <algorithm>

namespace quenmora::link {

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

}  // namespace quenmora::link
