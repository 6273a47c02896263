#include "roster/directory_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "photo_files.h"
#include "roster/roster.h"
#include "text/codepage.h"

namespace quenmora::roster {
namespace {

namespace fs = std::filesystem;
using text::AnsiToUtf8;

fs::path Utf8Path(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

TEST(ScanReceiveDirectory, MatchesFilesToStudentsByEachKindOfName) {
  const Roster roster = ParseRoster(text::Utf8ToAnsi(
      "4401\t张三\t11010519491231002X\t一班\r\n"
      "4401\t李四\t440101200001011239\t一班\r\n"
      "4401\t王五\t440101200003033458\t二班\r\n"
      "4401\t王五\t440101200004044562\t三班\r\n"
      "4401\t赵六\t440101200005055677\t二班\r\n"
      "4401\t钱七\t\t二班\r\n"
      "4401\t孙八\t440101200006066781\t三班\r\n"
      "4401\t周九\t440101200006066781\t三班\r\n"));
  const StudentIndex index(roster.students);
  testing::TemporaryDirectory directory;
  const std::vector<std::string> files{
      "11010519491231002x.jpg",              // the number, x in lower case
      "一班/张三.jpg",                        // a class's folder
      "IMG_440101200001011239 (2).jpg",      // holds a number, and a copy mark
      "4401_二班_王五.jpeg",                  // school, class and name tell the shared name apart
      "王五.jpg",                            // shared name
      "二班/赵六（2）.JPG",                   // a full-width copy mark
      "440101200006066781.jpg",              // a number two rows hold
      "其他/钱七.jpg",                        // a folder of no class
      "学籍照片_二班/钱七.jpg",               // exported photos
      "钱七.txt",                            // named after a student: read, though no picture
      "说明.docx",                           // neither
      "...",
      "陌生人.png",
      "😀.jpg",                              // no character in code page 936
      "4401_二班_王五 (x).jpg",               // no copy mark
  };
  for (const std::string& file : files) testing::WriteFile(directory.path() / Utf8Path(file), testing::Jpeg(100));
  // A name that is no UTF-8 at all, on Linux.
  if constexpr (sizeof(fs::path::value_type) == 1) testing::WriteFile(directory.path() / "\xFF\xFE.jpg", "");

  const std::optional<DirectoryScan> scan = ScanReceiveDirectory(directory.path(), index);
  ASSERT_TRUE(scan);
  std::vector<std::string> photos, shared;
  for (const StudentPhoto& photo : scan->photos) {
    photos.push_back(AnsiToUtf8(roster.students[photo.student].name + " " + photo.shownPath));
    EXPECT_EQ(photo.check.state, PhotoState::kWhole) << photos.back();
  }
  for (const SharedNamePhoto& photo : scan->sharedNamePhotos) {
    shared.push_back(AnsiToUtf8(photo.shownPath) + " " + std::to_string(photo.students.size()));
  }
  std::vector<std::string> outside;
  for (const std::string& path : scan->outsideRoster) outside.push_back(AnsiToUtf8(path));
  const std::string slash(1, static_cast<char>(fs::path::preferred_separator));
  // In the order of their paths in code page 936.
  EXPECT_EQ(photos, (std::vector<std::string>{"张三 11010519491231002x.jpg", "王五 4401_二班_王五.jpeg",
                                              "李四 IMG_440101200001011239 (2).jpg", "赵六 二班" + slash + "赵六（2）.JPG",
                                              "钱七 钱七.txt", "张三 一班" + slash + "张三.jpg"}));
  EXPECT_EQ(shared, std::vector<std::string>{"王五.jpg 2"});
  // 😀 is one "?" where names are UTF-8, and one for each of its two UTF-16 units on Windows.
  constexpr bool kUtf8Names = sizeof(fs::path::value_type) == 1;
  std::vector<std::string> expectedOutside{"4401_二班_王五 (x).jpg", kUtf8Names ? "?.jpg" : "??.jpg", "陌生人.png"};
  if constexpr (kUtf8Names) expectedOutside.insert(expectedOutside.begin() + 2, "??.jpg");
  EXPECT_EQ(outside, expectedOutside);
  EXPECT_TRUE(scan->unreadableFolders.empty());
  EXPECT_FALSE(ScanReceiveDirectory(directory.path() / "gone", index));
}

}  // namespace
}  // namespace quenmora::roster
