#pragma once
// Paths from UTF-8 text: on Windows std::filesystem reads a char8_t string as UTF-8 and opens
// the file by its UTF-16 name; on Linux the bytes are the name.
#include <filesystem>
#include <string>
#include <string_view>

namespace quenmora::tools {

inline std::filesystem::path Utf8Path(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

inline std::string Utf8Text(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

}  // namespace quenmora::tools
