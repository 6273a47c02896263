#pragma once
// A PhotoReceiver writing into a fresh temporary directory, with hooks that record what it shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/reception/photo_receiver.h"

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
  ReceptionTest() : ReceptionTest(nullptr) {}
  // Writing through `files` instead of the system's file layer.
  explicit ReceptionTest(std::shared_ptr<FileLayer> files);

  // A read from the connection named `address`; false when the receiver closes the connection.
  bool Send(const std::string& address, std::string_view bytes);
  // The connection named `address` has closed; a later Send with that address is a new one.
  void Gone(const std::string& address);
  void Finish();
  // Each of the above returns once the disk has done what it was asked and its reports are in.
  void Settle();
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

 private:
  std::deque<UiTask> reports_;  // the disk's, for the test thread, which is the UI thread here
  Client ConnectionNamed(const std::string& address);

  std::map<std::string, Client> connections_;  // live, by address
  ConnectionId lastId_ = 0;
};

// What joins the receive directory and a name in a received file's path.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Bytes that look like the start of a JPEG, with zero bytes and every other value in them.
std::string PhotoBytes(std::size_t size, unsigned seed);

}  // namespace quenmora::link::testing
