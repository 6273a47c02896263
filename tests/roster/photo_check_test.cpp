#include "roster/photo_check.h"

#include <gtest/gtest.h>

#include "photo_files.h"

namespace quenmora::roster {
namespace {

using testing::Jpeg;

TEST(CheckPhoto, TellsWholeCutAndOtherFilesByTheirContent) {
  const std::string whole = Jpeg(2000);
  const struct {
    const char* what;
    std::string bytes;
    PhotoState state;
  } cases[] = {
      {"whole", whole, PhotoState::kWhole},
      {"whole, with what a phone adds after the image", whole + "trailer\xFF\xD8", PhotoState::kWhole},
      {"whole, its end marker across two pieces of the tail", whole + std::string(64 * 1024 - 1, '\0'),
       PhotoState::kWhole},
      {"whole, of 3 MiB", Jpeg(3 << 20), PhotoState::kWhole},
      {"cut in the image data: the thumbnail's end marker does not count", Jpeg(2000, false), PhotoState::kCut},
      {"cut of 3 MiB", Jpeg(3 << 20, false), PhotoState::kCut},
      {"cut in a segment before the image", whole.substr(0, 12), PhotoState::kCut},
      {"cut in its first bytes", "\xFF\xD8", PhotoState::kCut},
      {"empty", "", PhotoState::kCut},
      {"a segment that is none", "\xFF\xD8\xFF\xE1\x00\x04" "abcd\xFF\xD9", PhotoState::kCut},
      {"a PNG", "\x89PNG\r\n\x1a\n" + whole, PhotoState::kNotJpeg},
      {"a HEIC", std::string("\0\0\0\x18" "ftypheic", 12) + whole, PhotoState::kNotJpeg},
  };
  testing::TemporaryDirectory directory;
  for (const auto& c : cases) {
    const std::filesystem::path path = directory.path() / "photo.jpg";
    testing::WriteFile(path, c.bytes);
    const PhotoCheck check = CheckPhoto(path);
    EXPECT_EQ(check.state, c.state) << c.what;
    EXPECT_EQ(check.size, c.bytes.size()) << c.what;
  }
  EXPECT_EQ(CheckPhoto(directory.path() / "gone.jpg").state, PhotoState::kUnreadable);
}

}  // namespace
}  // namespace quenmora::roster
