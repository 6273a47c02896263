#pragma once
// The file operations of reception, behind one interface: the system's, or in tests one that
// holds writes on demand or tells of a nearly full disk. Called on the disk thread only.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "link/reception/output_file.h"

namespace quenmora::link {

// Bytes free to this program on the disk that holds `directory` (UTF-16); none if it cannot be told.
std::optional<std::uint64_t> DiskFreeBytes(const std::u16string& directory);

class FileLayer {
 public:
  virtual ~FileLayer() = default;
  virtual std::optional<OutputFile> Create(const std::u16string& path) { return OutputFile::Create(path); }
  virtual bool Append(OutputFile& file, std::span<const std::uint8_t> bytes) { return file.Append(bytes); }
  virtual bool Close(OutputFile& file) { return file.Close(); }
  virtual std::optional<std::uint64_t> FreeBytes(const std::u16string& directory) {
    return DiskFreeBytes(directory);
  }
};

}  // namespace quenmora::link
