#pragma once
// One received file, open for writing. No buffering here: every Append hands its bytes to the
// operating system before it returns, so a file is complete on disk once its last chunk is in.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace quenmora::link {

class OutputFile {
 public:
  // Creates the file at `path` (UTF-16), emptying any file of that name, and opens it for
  // writing at its end. Others may read it while it is open (the operator previewing a photo).
  // Nothing if it cannot be created.
  static std::optional<OutputFile> Create(const std::u16string& path);

  OutputFile(OutputFile&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}
  OutputFile& operator=(OutputFile&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, kNoHandle);
    }
    return *this;
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() { Close(); }

  // Writes all of `bytes` at the end of the file. False if the system refused any of them.
  bool Append(std::span<const std::uint8_t> bytes);
  // Closes the file, once; later calls do nothing. False if the system reported a failure, which
  // can mean written data did not reach the disk (a full network share, say).
  bool Close();

 private:
  // A POSIX descriptor or a Win32 HANDLE; both use -1 for none.
  static constexpr std::intptr_t kNoHandle = -1;
  explicit OutputFile(std::intptr_t handle) : handle_(handle) {}

  std::intptr_t handle_ = kNoHandle;
};

}  // namespace quenmora::link
