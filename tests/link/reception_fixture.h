#pragma once
// A PhotoReceiver writing into a fresh temporary directory, with hooks that record what it shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/photo_receiver.h"

namespace quenmora::link::testing {

class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class ReceptionTest : public ::testing::Test {
 protected:
  ReceptionTest();

  // False when the receiver closes the connection.
  bool Send(const std::string& client, std::string_view bytes);
  // The receive directory as the window would hold it: code page 936.
  static std::string DirectoryText(const std::filesystem::path& directory);
  std::string Contents(const std::filesystem::path& relative) const;
  bool Exists(const std::filesystem::path& relative) const;
  // Whether this process still has the file open.
  bool HeldOpen(const std::filesystem::path& relative) const;

  TemporaryDirectory temporary;  // first, so it outlives the receiver's open files
  const std::filesystem::path& dir = temporary.path();
  std::string directoryText = DirectoryText(dir);
  std::vector<std::pair<std::int32_t, std::string>> starts;
  std::vector<std::string> notices;
  PhotoReceiver receiver;
};

// Bytes that look like the start of a JPEG, with zero bytes and every other value in them.
std::string PhotoBytes(std::size_t size, unsigned seed);

}  // namespace quenmora::link::testing
