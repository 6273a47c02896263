#pragma once
// The folder picker's behaviour, created afresh for each opening.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/directory_list_model.h"
#include "app/folder_picker_view.h"
#include "app/layout.h"

namespace quenmora::app {

// Where the picker starts when `目录编辑框1` is empty, and the drive it then selects; the drive
// also stands for a receive directory that names none.
struct PickerStart {
  std::string directory;
  std::string drive;
};

// What each opening of the folder picker is made from.
struct PickerSources {
  SubdirectoryLister lister;
  std::function<std::vector<std::string>()> driveRoots;  // the drive list's items, in order
  PickerStart start;
};

// A list's row as a toolkit reports it: negative when none is selected.
using ListRow = std::ptrdiff_t;

class FolderPicker {
 public:
  // `receiveDirectory` is `目录编辑框1` at the moment of opening; OK hands the choice to
  // `writeReceiveDirectory`. The drive list is read once, here.
  FolderPicker(FolderPickerView& view, const PickerSources& sources, std::string receiveDirectory,
               std::function<void(std::string_view)> writeReceiveDirectory);

  // The view's controls exist: they get the drives, the start directory and its drive.
  void Created();
  // `按钮1` (OK) writes the selected directory back and closes, `按钮2` (cancel) only closes; a
  // click on any other control does nothing.
  void Clicked(PickerControl control);
  // Escape or the frame's close box: as cancel.
  void CloseRequested();
  // The operator chose the drive list's item at `row`.
  void DriveChosen(ListRow row);
  // The operator opened the directory list's entry at `row`; it becomes the current directory.
  void EntryOpened(ListRow row);
  // The left button was pressed on the directory list, anywhere: `编辑框1` shows the list's
  // value again.
  void DirectoryListPressed();

 private:
  // The directory list shows the model again, then `编辑框1` shows the list's value.
  void ShowDirectories();
  void ShowListValue();
  // The text whose drive the drive list selects at start.
  std::string_view DriveOf(std::string_view receiveDirectory) const;

  FolderPickerView& view_;
  std::vector<std::string> drives_;  // the drive list's items
  PickerStart start_;
  std::string receiveDirectory_;
  std::function<void(std::string_view)> writeReceiveDirectory_;
  DirectoryListModel directories_;
  std::string selectedDirectory_;  // what `编辑框1` shows
};

}  // namespace quenmora::app
