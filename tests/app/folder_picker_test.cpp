#include "app/folder_picker.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace quenmora::app {
namespace {

class FakePickerView : public FolderPickerView {
 public:
  void SelectDrive(std::string_view root) override { drive = root; }
  void ShowDirectories(std::span<const DirectoryEntry> shown, std::size_t current) override {
    entries.assign(shown.begin(), shown.end());
    currentEntry = current;
  }
  void SetSelectedDirectory(std::string_view text) override { selected.emplace_back(text); }
  void Close() override { ++closes; }

  std::string drive;
  std::vector<DirectoryEntry> entries;
  std::size_t currentEntry = 0;
  std::vector<std::string> selected;  // every text `编辑框1` was given
  int closes = 0;
};

// A small disk: C:\ and D:\ with a few folders.
std::vector<std::string> ListFakeDisk(std::string_view directory) {
  static const std::map<std::string, std::vector<std::string>, std::less<>> disk{
      {"C:\\", {"Windows", "Users"}},
      {"D:\\", {"Program Files", "photos"}},
      {"D:\\photos", {"2024", "2023"}},
      {"D:\\Program Files", {"Quenmora"}},
  };
  const auto it = disk.find(directory);
  return it == disk.end() ? std::vector<std::string>{} : it->second;
}

class FolderPickerTest : public ::testing::Test {
 protected:
  FolderPicker& Open(std::string receiveDirectory) {
    picker.emplace(view, std::move(receiveDirectory),
                   [this](std::string_view chosen) { written.emplace_back(chosen); }, ListFakeDisk);
    picker->Created();
    return *picker;
  }
  std::size_t IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < view.entries.size(); ++i)
      if (view.entries[i].name == name) return i;
    ADD_FAILURE() << "no entry " << name;
    return 0;
  }

  FakePickerView view;
  std::vector<std::string> written;
  std::optional<FolderPicker> picker;
};

TEST_F(FolderPickerTest, EmptyReceiveDirectoryOpensOnProgramFilesWithDriveD) {
  Open("");
  EXPECT_EQ(view.drive, "D:\\");
  EXPECT_EQ(view.selected, std::vector<std::string>{"D:\\Program Files"});
  EXPECT_EQ(view.entries, (std::vector<DirectoryEntry>{
                              {"D:\\", 0}, {"Program Files", 1}, {"Quenmora", 2}}));
  EXPECT_EQ(view.currentEntry, 1u);
}

TEST_F(FolderPickerTest, DefaultReceiveDirectoryOpensOnTheRootOfD) {
  Open("D:\\");
  EXPECT_EQ(view.drive, "D:\\");
  EXPECT_EQ(view.selected, std::vector<std::string>{"D:\\"});
  EXPECT_EQ(view.entries, (std::vector<DirectoryEntry>{
                              {"D:\\", 0}, {"photos", 1}, {"Program Files", 1}}));
  EXPECT_EQ(view.currentEntry, 0u);
}

TEST_F(FolderPickerTest, DriveComesFromTheFirstThreeBytesOfTheReceiveDirectory) {
  Open("C:\\Users\\school");
  EXPECT_EQ(view.drive, "C:\\");
  EXPECT_EQ(view.selected.back(), "C:\\Users\\school");
}

TEST_F(FolderPickerTest, PathWithoutADriveKeepsDriveDAndShowsThePathAsGiven) {
  Open("\\\\server\\photos");
  EXPECT_EQ(view.drive, "D:\\");
  EXPECT_EQ(view.selected.back(), "\\\\server\\photos");
}

// Where drives are named by paths, a "/" receive directory goes to the drive list whole; the
// Windows start leaves everything without a drive root on drive D.
TEST_F(FolderPickerTest, DriveListGetsTheDriveOrTheWholePathWhereDrivesArePaths) {
  const PickerStart home{.directory = "/home/li", .drive = "/home/li"};
  struct Case {
    std::string receiveDirectory;
    PickerStart start;
    std::string drive;
    std::string selected;
  };
  const Case cases[] = {
      {"", home, "/home/li", "/home/li"},
      {"/media/li/USB/photos", home, "/media/li/USB/photos", "/media/li/USB/photos"},
      {"photos", home, "/home/li", "photos"},
      {"D:\\photos", home, "D:\\", "D:\\photos"},
      {"/photos", {}, "D:\\", "/photos"},
  };
  for (const Case& c : cases) {
    FakePickerView fresh;
    FolderPicker opened(fresh, c.receiveDirectory, [](std::string_view) {}, ListFakeDisk, c.start);
    opened.Created();
    EXPECT_EQ(fresh.drive, c.drive) << c.receiveDirectory;
    EXPECT_EQ(fresh.selected, std::vector<std::string>{c.selected}) << c.receiveDirectory;
  }
}

TEST_F(FolderPickerTest, ChoosingADriveResetsListAndLabelToItsRoot) {
  Open("D:\\photos");
  picker->DriveChanged("C:\\");
  EXPECT_EQ(view.selected.back(), "C:\\");
  EXPECT_EQ(view.entries, (std::vector<DirectoryEntry>{{"C:\\", 0}, {"Users", 1}, {"Windows", 1}}));
}

TEST_F(FolderPickerTest, OpeningEntriesAndPressesOnTheListShowTheListsValue) {
  Open("D:\\");
  picker->EntryOpened(IndexOf("photos"));
  EXPECT_EQ(view.selected.back(), "D:\\photos");
  EXPECT_EQ(view.entries, (std::vector<DirectoryEntry>{
                              {"D:\\", 0}, {"photos", 1}, {"2023", 2}, {"2024", 2}}));
  picker->EntryOpened(IndexOf("2024"));
  EXPECT_EQ(view.selected.back(), "D:\\photos\\2024");
  picker->EntryOpened(0);
  EXPECT_EQ(view.selected.back(), "D:\\");

  const std::size_t shown = view.selected.size();
  picker->ShowListValue();
  EXPECT_EQ(view.selected.size(), shown + 1);
  EXPECT_EQ(view.selected.back(), "D:\\");
}

TEST_F(FolderPickerTest, OkWithoutBrowsingWritesBackTheStartDirectory) {
  Open("D:\\photos");
  picker->OkClicked();
  EXPECT_EQ(written, std::vector<std::string>{"D:\\photos"});
  EXPECT_EQ(view.closes, 1);
}

TEST_F(FolderPickerTest, OkWritesTheListsValueNotTheReceiveDirectoryText) {
  Open("d:\\photos\\\\2024\\");
  picker->OkClicked();
  EXPECT_EQ(written, std::vector<std::string>{"D:\\photos\\2024"});
}

TEST_F(FolderPickerTest, OkAfterBrowsingWritesTheChosenDirectory) {
  Open("D:\\");
  picker->EntryOpened(IndexOf("Program Files"));
  picker->OkClicked();
  EXPECT_EQ(written, std::vector<std::string>{"D:\\Program Files"});
}

TEST_F(FolderPickerTest, CancelWritesNothingEvenAfterBrowsing) {
  Open("D:\\photos");
  picker->DriveChanged("C:\\");
  picker->CancelClicked();
  EXPECT_TRUE(written.empty());
  EXPECT_EQ(view.closes, 1);
}

}  // namespace
}  // namespace quenmora::app
