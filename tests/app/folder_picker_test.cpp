#include "app/folder_picker.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "fake_picker_view.h"

namespace quenmora::app {
namespace {

using testing::FakeDiskSources;
using testing::FakePickerView;
using testing::kHomeStart;
using testing::kWindowsStart;

class FolderPickerTest : public ::testing::Test {
 protected:
  FolderPicker& Open(std::string receiveDirectory, PickerStart start = kWindowsStart) {
    picker.emplace(view, FakeDiskSources(std::move(start)), std::move(receiveDirectory),
                   [this](std::string_view chosen) { written.emplace_back(chosen); });
    picker->Created();
    return *picker;
  }
  ListRow RowOf(std::string_view name) const {
    const ListRow row = view.RowOf(name);
    if (row < 0) ADD_FAILURE() << "no entry " << name;
    return row;
  }

  FakePickerView view;
  std::vector<std::string> written;
  std::optional<FolderPicker> picker;
};

TEST_F(FolderPickerTest, EmptyReceiveDirectoryOpensOnProgramFilesWithDriveD) {
  Open("");
  EXPECT_EQ(view.drives, FakeDiskSources().driveRoots());
  EXPECT_EQ(view.drive(), "D:\\");
  EXPECT_EQ(view.selected, std::vector<std::string>{"D:\\Program Files"});
  EXPECT_EQ(view.entries, (std::vector<DirectoryEntry>{
                              {"D:\\", 0}, {"Program Files", 1}, {"Quenmora", 2}}));
  EXPECT_EQ(view.currentEntry, 1u);
}

TEST_F(FolderPickerTest, DefaultReceiveDirectoryOpensOnTheRootOfD) {
  Open("D:\\");
  EXPECT_EQ(view.drive(), "D:\\");
  EXPECT_EQ(view.selected, std::vector<std::string>{"D:\\"});
  EXPECT_EQ(view.entries, (std::vector<DirectoryEntry>{
                              {"D:\\", 0}, {"photos", 1}, {"Program Files", 1}}));
  EXPECT_EQ(view.currentEntry, 0u);
}

// The drive list offers drive letters and, where drives are named by paths, the drives that hold
// them; the picker selects the one holding its start, whatever the letter's case, or none.
TEST_F(FolderPickerTest, SelectsTheDriveThatHoldsTheStartAndShowsTheListsValue) {
  struct Case {
    std::string receiveDirectory;
    PickerStart start;
    std::string drive;  // empty: none selected
    std::string selected;
  };
  const Case cases[] = {
      {"c:\\Users\\school", kWindowsStart, "C:\\", "C:\\Users\\school"},
      {"\\\\server\\photos", kWindowsStart, "D:\\", "\\\\server\\photos"},
      {"/photos", kWindowsStart, "D:\\", "/photos"},
      {"E:\\photos", kWindowsStart, "", "E:\\photos"},
      {"", kHomeStart, "/home/li", "/home/li"},
      {"/home/li/Pictures", kHomeStart, "/home/li", "/home/li/Pictures"},
      {"/home/lin", kHomeStart, "/", "/home/lin"},
      {"/media/li/USB/photos", kHomeStart, "/media/li/USB", "/media/li/USB/photos"},
      {"photos", kHomeStart, "/home/li", "photos"},
      {"D:\\photos", kHomeStart, "D:\\", "D:\\photos"},
  };
  for (const Case& c : cases) {
    FakePickerView fresh;
    FolderPicker opened(fresh, FakeDiskSources(c.start), c.receiveDirectory, [](std::string_view) {});
    opened.Created();
    EXPECT_EQ(fresh.drive(), c.drive) << c.receiveDirectory;
    EXPECT_EQ(fresh.selected, std::vector<std::string>{c.selected}) << c.receiveDirectory;
  }
}

TEST_F(FolderPickerTest, ChoosingADriveResetsListAndLabelToItsRootAndRowsOutsideTheListDoNothing) {
  Open("D:\\photos");
  const std::vector<DirectoryEntry> opened = view.entries;
  for (const ListRow outside : {ListRow{-1}, static_cast<ListRow>(view.drives.size())}) {
    picker->DriveChosen(outside);
    EXPECT_EQ(view.entries, opened) << outside;
    EXPECT_EQ(view.selected, std::vector<std::string>{"D:\\photos"}) << outside;
  }
  picker->DriveChosen(0);  // the first drive, C:
  EXPECT_EQ(view.selected.back(), "C:\\");
  EXPECT_EQ(view.entries, (std::vector<DirectoryEntry>{{"C:\\", 0}, {"Users", 1}, {"Windows", 1}}));
}

TEST_F(FolderPickerTest, OpeningEntriesAndPressesOnTheListShowTheListsValue) {
  Open("D:\\");
  picker->EntryOpened(RowOf("photos"));
  EXPECT_EQ(view.selected.back(), "D:\\photos");
  EXPECT_EQ(view.entries, (std::vector<DirectoryEntry>{
                              {"D:\\", 0}, {"photos", 1}, {"2023", 2}, {"2024", 2}}));
  picker->EntryOpened(RowOf("2024"));
  EXPECT_EQ(view.selected.back(), "D:\\photos\\2024");
  const std::size_t shown = view.selected.size();
  picker->EntryOpened(-1);  // no entry selected
  EXPECT_EQ(view.selected.size(), shown);
  picker->EntryOpened(0);
  EXPECT_EQ(view.selected.back(), "D:\\");

  const std::size_t before = view.selected.size();
  picker->DirectoryListPressed();
  EXPECT_EQ(view.selected.size(), before + 1);
  EXPECT_EQ(view.selected.back(), "D:\\");
}

TEST_F(FolderPickerTest, OkWithoutBrowsingWritesBackTheStartDirectory) {
  Open("D:\\photos");
  picker->Clicked(PickerControl::按钮1);
  EXPECT_EQ(written, std::vector<std::string>{"D:\\photos"});
  EXPECT_EQ(view.closes, 1);
}

TEST_F(FolderPickerTest, OkWritesTheListsValueNotTheReceiveDirectoryText) {
  Open("d:\\photos\\\\2024\\");
  picker->Clicked(PickerControl::按钮1);
  EXPECT_EQ(written, std::vector<std::string>{"D:\\photos\\2024"});
}

TEST_F(FolderPickerTest, OkAfterBrowsingWritesTheChosenDirectory) {
  Open("D:\\");
  picker->EntryOpened(RowOf("Program Files"));
  picker->Clicked(PickerControl::按钮1);
  EXPECT_EQ(written, std::vector<std::string>{"D:\\Program Files"});
}

// Cancel, Escape and the close box leave the receive directory as it was; a click on a control
// that is no button does nothing at all.
TEST_F(FolderPickerTest, EveryWayOutButOkWritesNothingAndOtherClicksDoNothing) {
  Open("D:\\photos");
  picker->DriveChosen(0);
  for (const PickerControl control : {PickerControl::标签1, PickerControl::驱动框1,
                                      PickerControl::目录框1, PickerControl::标签2,
                                      PickerControl::编辑框1})
    picker->Clicked(control);
  EXPECT_EQ(view.closes, 0);
  picker->Clicked(PickerControl::按钮2);
  EXPECT_EQ(view.closes, 1);
  picker->CloseRequested();
  EXPECT_EQ(view.closes, 2);
  EXPECT_TRUE(written.empty());
}

}  // namespace
}  // namespace quenmora::app
