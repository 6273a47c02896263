#pragma once
// Photos written for the roster tests into a directory of their own.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace quenmora::roster::testing {

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    static std::atomic<unsigned> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quenmora-roster-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
             std::to_string(serial++));
    std::filesystem::create_directories(path_);
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A phone's JPEG: an Exif segment whose thumbnail ends in an end-of-image marker of its own, the
// first scan, `dataBytes` of image data, and the end of image unless the photo is cut.
inline std::string Jpeg(std::size_t dataBytes, bool whole = true) {
  const std::string exif = std::string("Exif\0\0\xFF\xD8\xFF\xDB\x00\x03\x00\xFF\xD9", 15);
  const auto length = [](std::size_t bytes) {
    return std::string{static_cast<char>((bytes + 2) >> 8), static_cast<char>((bytes + 2) & 0xFF)};
  };
  return "\xFF\xD8\xFF\xE1" + length(exif.size()) + exif + "\xFF\xDA" + length(4) + "abcd" +
         std::string(dataBytes, 'd') + (whole ? "\xFF\xD9" : "");
}

}  // namespace quenmora::roster::testing
