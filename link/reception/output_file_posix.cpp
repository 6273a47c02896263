#include <cerrno>

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "link/reception/file_layer.h"
#include "link/reception/output_file.h"
#include "text/codepage.h"

namespace quenmora::link {

std::optional<OutputFile> OutputFile::Create(const std::u16string& path) {
  const std::string utf8 = text::Utf16ToMultiByte(path, text::kCodePageUtf8);
  // O_NONBLOCK only for the open itself: a FIFO of that name must not hang the UI thread.
  int fd;
  do {
    fd = ::open(utf8.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return std::nullopt;
  OutputFile file(fd);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) return std::nullopt;
  return file;
}

bool OutputFile::Close() {
  if (handle_ == kNoHandle) return true;
  // Not retried on EINTR: Linux has released the descriptor by then.
  const int result = ::close(static_cast<int>(std::exchange(handle_, kNoHandle)));
  return result == 0 || errno == EINTR;
}

bool OutputFile::Append(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

std::optional<std::uint64_t> DiskFreeBytes(const std::u16string& directory) {
  struct statvfs disk {};
  if (::statvfs(text::Utf16ToMultiByte(directory, text::kCodePageUtf8).c_str(), &disk) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
}

}  // namespace quenmora::link
