#include <algorithm>
#include <utility>

#include <windows.h>

#include "link/reception/file_layer.h"
#include "link/reception/output_file.h"

namespace quenmora::link {
namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

std::optional<OutputFile> OutputFile::Create(const std::u16string& path) {
  // wchar_t is UTF-16 on Windows.
  const HANDLE handle = ::CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_WRITE,
                                      FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  // Only this handle may write, so each write lands at the end.
  return OutputFile(reinterpret_cast<std::intptr_t>(handle));
}

bool OutputFile::Close() {
  if (handle_ == kNoHandle) return true;
  return ::CloseHandle(AsHandle(std::exchange(handle_, kNoHandle))) != 0;
}

bool OutputFile::Append(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD request = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(AsHandle(handle_), bytes.data(), request, &written, nullptr) || written == 0) {
      return false;
    }
    bytes = bytes.subspan(written);
  }
  return true;
}

std::optional<std::uint64_t> DiskFreeBytes(const std::u16string& directory) {
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(reinterpret_cast<const wchar_t*>(directory.c_str()), &available, nullptr, nullptr)) {
    return std::nullopt;
  }
  return available.QuadPart;
}

}  // namespace quenmora::link
