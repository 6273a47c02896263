#pragma once
// The folder picker's behaviour, created afresh for each opening.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/directory_list_model.h"
#include "app/folder_picker_view.h"
#include "app/texts.h"

namespace quenmora::app {

// Where the picker starts when `目录编辑框1` is empty, and the drive it then selects; the drive
// also stands for a receive directory that names none. The defaults are the Windows program's.
struct PickerStart {
  std::string directory{kPickerStartDirectory};
  std::string drive{kPickerStartDrive};
};

// What each opening of the folder picker is made from; the program's main gives them to its view.
struct PickerSources {
  SubdirectoryLister lister;
  std::function<std::vector<std::string>()> driveRoots;  // the drive list's items, in order
  PickerStart start;
};

class FolderPicker {
 public:
  // `receiveDirectory` is `目录编辑框1` at the moment of opening; OK hands the choice to
  // `writeReceiveDirectory`.
  FolderPicker(FolderPickerView& view, std::string receiveDirectory,
               std::function<void(std::string_view)> writeReceiveDirectory,
               SubdirectoryLister lister, PickerStart start = {});

  void Created();
  void DriveChanged(std::string_view root);  // by the operator, e.g. "C:\"
  void EntryOpened(std::size_t index);       // the current directory changed
  void OkClicked();
  void CancelClicked();
  // Copies the directory list's value into `编辑框1`; the front end calls it whenever the left
  // button is pressed on the directory list, anywhere.
  void ShowListValue();

  const DirectoryListModel& directories() const { return directories_; }

 private:
  // The directory list shows the model again, then `编辑框1` shows the list's value.
  void ShowDirectories();
  // The drive list's argument for the receive directory.
  std::string_view DriveOf(std::string_view receiveDirectory) const;

  FolderPickerView& view_;
  PickerStart start_;
  std::string receiveDirectory_;
  std::function<void(std::string_view)> writeReceiveDirectory_;
  DirectoryListModel directories_;
  std::string selectedDirectory_;  // what `编辑框1` shows
};

}  // namespace quenmora::app
