#include "reception_fixture.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <span>

#ifdef _WIN32
#include <windows.h>
#endif

#include "text/codepage.h"

namespace quenmora::link::testing {
namespace fs = std::filesystem;

TemporaryDirectory::TemporaryDirectory() {
  static std::atomic<unsigned> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() /
          ("quenmora-reception-" + std::to_string(stamp) + "-" + std::to_string(serial++));
  fs::create_directories(path_);
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

ReceptionTest::ReceptionTest(std::shared_ptr<FileLayer> files)
    : receiver(ReceptionHooks{.receiveDirectory = [this] { return directoryText; },
                              .fileStarted = [this](std::int32_t count,
                                                    const std::string& name) { starts.emplace_back(count, name); },
                              .notice = [this](const std::string& line) { notices.push_back(line); },
                              .files = std::move(files)},
               [this](UiTask task) { reports_.push_back(std::move(task)); }) {}

bool ReceptionTest::Send(const std::string& address, std::string_view bytes) {
  const bool readOn = receiver.HandleChunk(
      ConnectionNamed(address), std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  Settle();
  return readOn;
}

void ReceptionTest::Gone(const std::string& address) {
  receiver.ClientGone(ConnectionNamed(address).id);
  connections_.erase(address);
  Settle();
}

void ReceptionTest::Finish() {
  receiver.Finish();
  Settle();
}

void ReceptionTest::Settle() {
  receiver.Drain();
  while (!reports_.empty()) {
    UiTask report = std::move(reports_.front());
    reports_.pop_front();
    report();
  }
}

Client ReceptionTest::ConnectionNamed(const std::string& address) {
  const auto [it, added] = connections_.try_emplace(address);
  if (added) it->second = Client{.id = ++lastId_, .address = address};
  return it->second;
}

std::string ReceptionTest::DirectoryText(const fs::path& directory) {
  return text::Utf16ToMultiByte(directory.u16string(), text::kCodePageGbk);
}

std::string ReceptionTest::Contents(const fs::path& relative) const {
  std::ifstream in(dir / relative, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << (dir / relative);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool ReceptionTest::Exists(const fs::path& relative) const { return fs::exists(dir / relative); }

bool ReceptionTest::HeldOpen(const fs::path& relative) const {
#ifdef _WIN32
  // The receiver shares read access only, so a second writer is refused while it holds the file.
  const HANDLE handle = CreateFileW((dir / relative).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
#else
  const fs::path target = fs::canonical(dir / relative);
  for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (fs::read_symlink(fd.path(), error) == target) return true;
  }
  return false;
#endif
}

std::string PhotoBytes(std::size_t size, unsigned seed) {
  std::string bytes = "\xFF\xD8\xFF\xE0";
  std::uint32_t state = seed * 2654435761u + 1u;
  while (bytes.size() < size) {
    state = state * 1664525u + 1013904223u;
    bytes.push_back(static_cast<char>(state >> 24));
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace quenmora::link::testing
