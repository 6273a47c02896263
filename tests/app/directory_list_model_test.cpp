#include "app/directory_list_model.h"

#include <gtest/gtest.h>

#include <map>

namespace quenmora::app {
namespace {

using Entries = std::vector<DirectoryEntry>;

// Lists the given names for every directory, and records which directories were read.
struct FixedLister {
  std::vector<std::string> names;
  std::vector<std::string>* asked;
  std::vector<std::string> operator()(std::string_view directory) const {
    if (asked) asked->emplace_back(directory);
    return names;
  }
};

Entries Listed(DirectoryListModel& model) {
  return Entries(model.entries().begin(), model.entries().end());
}

TEST(DirectoryListModel, SubdirectoriesSortIgnoringAsciiCaseAfterTheChain) {
  DirectoryListModel model(FixedLister{{"beta", "Zeta", "\xd1\xa7\xc9\xfa", "alpha", "Beta", "1"},
                                       nullptr});
  model.SetPath("D:\\photos");
  EXPECT_EQ(Listed(model), (Entries{{"D:\\", 0},
                                    {"photos", 1},
                                    {"1", 2},
                                    {"alpha", 2},
                                    {"Beta", 2},
                                    {"beta", 2},
                                    {"Zeta", 2},
                                    {"\xd1\xa7\xc9\xfa", 2}}));
  EXPECT_EQ(model.currentIndex(), 1u);
}

TEST(DirectoryListModel, SecondByteOfAChineseCharacterIsNotCaseFolded) {
  // 0x81 0x61 and 0x81 0x42 are two GBK characters; folding 0x42 ("B") would put them the other
  // way round.
  DirectoryListModel model(FixedLister{{"\x81\x61", "\x81\x42"}, nullptr});
  model.SetPath("D:\\");
  EXPECT_EQ(Listed(model), (Entries{{"D:\\", 0}, {"\x81\x42", 1}, {"\x81\x61", 1}}));
}

TEST(DirectoryListModel, BackslashAsSecondByteOfAChineseCharacterDoesNotSplitTheName) {
  std::vector<std::string> asked;
  DirectoryListModel model(FixedLister{{}, &asked});
  model.SetPath("D:\\\x95\x5c\\x");
  EXPECT_EQ(Listed(model), (Entries{{"D:\\", 0}, {"\x95\x5c", 1}, {"x", 2}}));
  EXPECT_EQ(asked, std::vector<std::string>{"D:\\\x95\x5c\\x"});
}

TEST(DirectoryListModel, PathsAreNormalisedButKeptWhenTheyDoNotExist) {
  DirectoryListModel model(FixedLister{{}, nullptr});
  model.SetPath("d:\\no\\\\such\\");
  EXPECT_EQ(model.path(), "D:\\no\\such");
  EXPECT_EQ(Listed(model), (Entries{{"D:\\", 0}, {"no", 1}, {"such", 2}}));
  EXPECT_EQ(model.currentIndex(), 2u);
}

TEST(DirectoryListModel, TextWithoutARootIsOneEntryKeptAsGiven) {
  DirectoryListModel model(FixedLister{{"sub"}, nullptr});
  model.SetPath("\\\\server\\share");
  EXPECT_EQ(model.path(), "\\\\server\\share");
  EXPECT_EQ(Listed(model), (Entries{{"\\\\server\\share", 0}, {"sub", 1}}));
  model.Open(1);
  EXPECT_EQ(model.path(), "\\\\server\\share\\sub");
}

TEST(DirectoryListModel, OpeningChainEntriesAndSubdirectoriesInSlashPaths) {
  std::vector<std::string> asked;
  DirectoryListModel model(FixedLister{{"c"}, &asked});
  model.SetPath("/a/b");
  EXPECT_EQ(Listed(model), (Entries{{"/", 0}, {"a", 1}, {"b", 2}, {"c", 3}}));
  model.Open(3);
  EXPECT_EQ(model.path(), "/a/b/c");
  model.Open(1);
  EXPECT_EQ(model.path(), "/a");
  model.Open(0);
  EXPECT_EQ(model.path(), "/");
  EXPECT_EQ(Listed(model), (Entries{{"/", 0}, {"c", 1}}));
  model.Open(1);
  EXPECT_EQ(model.path(), "/c");
  EXPECT_EQ(asked, (std::vector<std::string>{"/a/b", "/a/b/c", "/a", "/", "/c"}));
}

TEST(DirectoryListModel, DriveRootsNeedLetterColonAndBackslash) {
  EXPECT_TRUE(StartsWithDriveRoot("D:\\"));
  EXPECT_TRUE(StartsWithDriveRoot("c:\\photos"));
  EXPECT_FALSE(StartsWithDriveRoot("D:"));
  EXPECT_FALSE(StartsWithDriveRoot("D:photos"));
  EXPECT_FALSE(StartsWithDriveRoot("1:\\"));
  EXPECT_FALSE(StartsWithDriveRoot("\\\\server\\share"));
}

TEST(DirectoryListModel, DisplayLinesIndentThreeSpacesPerLevel) {
  EXPECT_EQ(DisplayLine({"D:\\", 0}), "D:\\");
  EXPECT_EQ(DisplayLine({"photos", 1}), "   photos");
  EXPECT_EQ(DisplayLine({"\xd1\xa7\xc9\xfa", 3}), "         \xd1\xa7\xc9\xfa");
}

TEST(DriveHolding, PicksTheDriveByLetterOrTheLongestPathThatHoldsThePath) {
  const std::vector<std::string> windows{"A:\\", "C:\\", "D:\\"};
  const std::vector<std::string> posix{"/", "/home/li", "/media/li/USB", "/media/li/USB 2"};
  struct Case {
    const std::vector<std::string>* drives;
    std::string_view path;
    std::optional<std::size_t> expected;
  };
  const Case cases[] = {
      {&windows, "D:\\", 2},
      {&windows, "c:\\Users\\li", 1},
      {&windows, "E:\\photos", std::nullopt},
      {&windows, "\\\\server\\photos", std::nullopt},
      {&windows, "/photos", std::nullopt},
      {&posix, "/", 0},
      {&posix, "/home/li", 1},
      {&posix, "/home/li/Pictures/2024", 1},
      {&posix, "/home/lin", 0},  // not inside /home/li
      {&posix, "/media/li/USB 2/photos", 3},
      {&posix, "/media/li/USB/photos", 2},
      {&posix, "photos", std::nullopt},
      {&posix, "D:\\", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(DriveHolding(*c.drives, c.path), c.expected) << c.path;
}

}  // namespace
}  // namespace quenmora::app
