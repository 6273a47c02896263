#include "roster/photo_check.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace quenmora::roster {
namespace {

constexpr std::uint64_t kTailBytes = 1024 * 1024;
// The tail is searched from its end in pieces: the marker is almost always in the first.
constexpr std::uint64_t kTailPiece = 64 * 1024;
// Segments (and fill bytes) followed before the image data at most: a photo has a few dozen, and
// a file of fill bytes must not be read one at a time to its end.
constexpr int kMostHeadSteps = 4096;
constexpr std::string_view kStartOfImage = "\xFF\xD8\xFF";
constexpr std::string_view kEndOfImage = "\xFF\xD9";

class FileReader {
 public:
  explicit FileReader(const std::filesystem::path& path) : in_(path, std::ios::binary) {
    if (in_ && in_.seekg(0, std::ios::end)) size_ = static_cast<std::uint64_t>(in_.tellg());
  }

  bool Opened() const { return size_.has_value(); }
  std::uint64_t Size() const { return *size_; }
  // Whether a read of bytes the file had when it was opened failed: it went, shrank or broke.
  bool Failed() const { return failed_; }

  // The bytes from `at`, `count` of them or fewer at the end; empty when the read failed.
  std::string Read(std::uint64_t at, std::uint64_t count) {
    std::string bytes(static_cast<std::size_t>(std::min(count, at < Size() ? Size() - at : 0)), '\0');
    if (bytes.empty()) return bytes;
    in_.clear();
    if (!in_.seekg(static_cast<std::streamoff>(at)) || !in_.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
      failed_ = true;
      bytes.clear();
    }
    return bytes;
  }

 private:
  std::ifstream in_;
  std::optional<std::uint64_t> size_;
  bool failed_ = false;
};

// Where the first scan's entropy-coded data begins, following the segments from the start of
// image; nothing when the file ends first or a segment is not one.
std::optional<std::uint64_t> ImageDataStart(FileReader& file) {
  std::uint64_t at = 2;
  for (int step = 0; step < kMostHeadSteps; ++step) {
    const std::string marker = file.Read(at, 4);
    if (marker.size() < 2 || marker[0] != '\xFF') return std::nullopt;
    const auto type = static_cast<unsigned char>(marker[1]);
    if (type == 0xFF) {  // a fill byte before the marker
      ++at;
      continue;
    }
    if (type == 0x01 || (type >= 0xD0 && type <= 0xD7)) {  // markers without a length
      at += 2;
      continue;
    }
    if (type == 0xD8 || type == 0xD9 || marker.size() < 4) return std::nullopt;
    const auto length = static_cast<std::uint64_t>(static_cast<unsigned char>(marker[2]) << 8 |
                                                   static_cast<unsigned char>(marker[3]));
    if (length < 2) return std::nullopt;
    at += 2 + length;
    if (type == 0xDA) return at;
  }
  return std::nullopt;
}

bool HasEndAfter(FileReader& file, std::uint64_t dataStart) {
  const std::uint64_t lowest = std::max(dataStart, file.Size() > kTailBytes ? file.Size() - kTailBytes : 0);
  for (std::uint64_t end = file.Size(); end > lowest;) {
    const std::uint64_t begin = end - std::min(kTailPiece, end - lowest);
    // One byte more than the piece, so that a marker across two pieces is found.
    if (file.Read(begin, end - begin + 1).find(kEndOfImage) != std::string::npos) return true;
    end = begin;
  }
  return false;
}

}  // namespace

PhotoCheck CheckPhoto(const std::filesystem::path& path) {
  FileReader file(path);
  if (!file.Opened()) return {};
  const std::string head = file.Read(0, kStartOfImage.size());
  PhotoCheck check{PhotoState::kWhole, file.Size()};
  if (head != kStartOfImage) {
    check.state = kStartOfImage.starts_with(head) ? PhotoState::kCut : PhotoState::kNotJpeg;
  } else if (const std::optional<std::uint64_t> dataStart = ImageDataStart(file);
             !dataStart || !HasEndAfter(file, *dataStart)) {
    check.state = PhotoState::kCut;
  }
  if (file.Failed()) check.state = PhotoState::kUnreadable;
  return check;
}

}  // namespace quenmora::roster
