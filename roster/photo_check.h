#pragma once
// What the registry asks of a student's photo: a JPEG by its content, whole, and smaller than
// 60 KB. Only the file's head and at most its last 1 MiB are read, so a directory of phone photos
// of several megabytes each is checked about as fast as one of small ones.
#include <cstdint>
#include <filesystem>

namespace quenmora::roster {

// The registry's "小于60KB", in the kilobytes Windows shows file sizes in: 60 * 1024 bytes.
// A photo must be smaller than this.
inline constexpr std::uint64_t kRegistrySizeLimit = 60 * 1024;

enum class PhotoState {
  kWhole,       // FF D8 FF, and an end-of-image marker after the start of the image data
  kCut,         // a JPEG's beginning (or nothing) without the end: a transfer that broke off
  kNotJpeg,     // begins otherwise, whatever its name says (a HEIC or PNG photo renamed .jpg)
  kUnreadable,  // gone, or refused, by the time it was read
};

struct PhotoCheck {
  PhotoState state = PhotoState::kUnreadable;
  std::uint64_t size = 0;  // bytes, when read
};

// The JPEG's marker segments are followed from its start to its first scan (what comes before
// the image data: an Exif thumbnail holds an end-of-image marker of its own); the marker
// FF D9 must then come later, within the last 1 MiB. Entropy-coded data never holds FF D9, while
// what a phone adds after the image may follow the marker.
PhotoCheck CheckPhoto(const std::filesystem::path& path);

}  // namespace quenmora::roster
