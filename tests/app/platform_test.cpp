#include "app/platform/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "app/directory_list_model.h"
#include "app/start_directories.h"
#include "text/codepage.h"

namespace quenmora::app {
namespace {

namespace fs = std::filesystem;

// A temporary folder, as a code-page-936 text and as a path, removed at the end.
class TemporaryTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("quenmora-tree-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(root);
    rootText = text::Utf16ToMultiByte(root.u16string(), text::kCodePageGbk);
  }
  void TearDown() override { fs::remove_all(root); }

  fs::path root;
  std::string rootText;
};

const std::u16string kStudents = u"\u5b66\u751f";  // 学生
const std::string kStudentsGbk = "\xd1\xa7\xc9\xfa";

TEST_F(TemporaryTree, ListsSubdirectoriesOnlyWithChineseNamesInCodePage936) {
  fs::create_directories(root / "beta");
  fs::create_directories(root / kStudents);
  std::ofstream(root / "file.txt") << "not a directory";
  std::vector<std::string> names = ListSubdirectories(rootText);
  std::ranges::sort(names);
  EXPECT_EQ(names, (std::vector<std::string>{"beta", kStudentsGbk}));
  EXPECT_EQ(ListSubdirectories(rootText + "-missing"), std::vector<std::string>{});
}

TEST_F(TemporaryTree, ModelShowsTheChainAndSortedSubdirectoriesAndOpensThem) {
  for (const fs::path& name : {fs::path("beta"), fs::path("Alpha"), fs::path("gamma"),
                               fs::path(kStudents)})
    fs::create_directories(root / name);
  fs::create_directories(root / kStudents / "2024");
  std::ofstream(root / "alpha.txt") << "a file";

  DirectoryListModel model(ListSubdirectories);
  model.SetPath(rootText);
  const auto entries = model.entries();
  const std::size_t current = model.currentIndex();
  ASSERT_EQ(entries.size(), current + 5);
  EXPECT_EQ(entries[current].depth, static_cast<int>(current));
  const int depth = static_cast<int>(current) + 1;
  EXPECT_EQ(std::vector<DirectoryEntry>(entries.begin() + current + 1, entries.end()),
            (std::vector<DirectoryEntry>{
                {"Alpha", depth}, {"beta", depth}, {"gamma", depth}, {kStudentsGbk, depth}}));

  model.Open(current + 4);
  const std::string separator = rootText.starts_with('/') ? "/" : "\\";
  EXPECT_EQ(model.path(), rootText + separator + kStudentsGbk);
  EXPECT_EQ(model.entries().back(), (DirectoryEntry{"2024", depth + 1}));
  model.Open(current);
  EXPECT_EQ(model.path(), rootText);
}

#ifdef _WIN32

TEST(DriveRoots, AreDriveRootsInTheSystemsOrderWithDriveC) {
  const std::vector<std::string> roots = DriveRoots();
  EXPECT_NE(std::ranges::find(roots, "C:\\"), roots.end());
  for (const std::string& root : roots) {
    EXPECT_EQ(root.size(), 3u) << root;
    EXPECT_TRUE(StartsWithDriveRoot(root)) << root;
  }
}

#else

// Sets an environment variable for the test's length.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST_F(TemporaryTree, DriveRootsAreTheRootThenTheHomeFolderThenMountedVolumes) {
  const ScopedEnvironment home("HOME", root.string() + "/");
  // A user with nothing mounted: no machine has volumes under /media/<this name>.
  const ScopedEnvironment user("USER", root.filename().string());
  EXPECT_EQ(DriveRoots(), (std::vector<std::string>{"/", rootText}));
  const ScopedEnvironment rootHome("HOME", "/");
  EXPECT_EQ(DriveRoots(), std::vector<std::string>{"/"});
}

// Photos go to the Pictures folder that user-dirs.dirs names, or else ~/Pictures, when it
// exists; otherwise to the home folder, where the picker starts in any case.
TEST_F(TemporaryTree, StartDirectoriesAreAnExistingXdgPicturesFolderElseTheHomeFolder) {
  const ScopedEnvironment home("HOME", root.string());
  const ScopedEnvironment config("XDG_CONFIG_HOME", (root / "config").string());
  const auto receiveDirectory = [&] {
    const StartDirectories start = MachineStartDirectories();
    EXPECT_EQ(start.picker.directory, rootText);
    EXPECT_EQ(start.picker.drive, rootText);
    return start.receiveDirectory;
  };
  EXPECT_EQ(receiveDirectory(), rootText);
  fs::create_directories(root / "Pictures");
  EXPECT_EQ(receiveDirectory(), rootText + "/Pictures");
  fs::create_directories(root / "config");
  std::ofstream(root / "config" / "user-dirs.dirs")
      << "XDG_PICTURES_DIR=\"$HOME/" << text::AnsiToUtf8(kStudentsGbk) << "\"\n";
  EXPECT_EQ(receiveDirectory(), rootText) << "named, but not there";
  fs::create_directories(root / kStudents);
  EXPECT_EQ(receiveDirectory(), rootText + "/" + kStudentsGbk);
}

#endif

}  // namespace
}  // namespace quenmora::app
