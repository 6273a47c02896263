#include "app/start_directories.h"

#include <algorithm>

namespace quenmora::app {

StartDirectories HomeStartDirectories(std::string_view home,
                                      std::optional<std::string_view> pictures) {
  return {.receiveDirectory = std::string(pictures.value_or(home)),
          .picker = {.directory = std::string(home), .drive = std::string(home)}};
}

std::optional<std::string> XdgUserDirectory(std::string_view userDirs, std::string_view key,
                                            std::string_view home) {
  constexpr std::string_view kHome = "$HOME";
  for (std::size_t start = 0; start < userDirs.size();) {
    const std::size_t end = std::min(userDirs.find('\n', start), userDirs.size());
    std::string_view line = userDirs.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.starts_with(key) || line.substr(key.size(), 2) != "=\"") continue;
    line.remove_prefix(key.size() + 2);
    const std::size_t quote = line.find('"');
    if (quote == std::string_view::npos) continue;
    const std::string_view value = line.substr(0, quote);

    std::string path;
    if (value == kHome || value.starts_with(std::string(kHome) + "/")) {
      path = std::string(home) + std::string(value.substr(kHome.size()));
    } else if (value.starts_with('/')) {
      path = value;
    } else {
      continue;
    }
    while (path.size() > 1 && path.ends_with('/')) path.pop_back();
    return path;
  }
  return std::nullopt;
}

}  // namespace quenmora::app
