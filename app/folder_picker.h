#pragma once
// The folder picker's behaviour, created afresh for each opening.
#include <functional>
#include <string>
#include <string_view>

#include "app/directory_list_model.h"
#include "app/folder_picker_view.h"

namespace quenmora::app {

class FolderPicker {
 public:
  // `receiveDirectory` is `目录编辑框1` at the moment of opening; OK hands the choice to
  // `writeReceiveDirectory`.
  FolderPicker(FolderPickerView& view, std::string receiveDirectory,
               std::function<void(std::string_view)> writeReceiveDirectory,
               SubdirectoryLister lister);

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

  FolderPickerView& view_;
  std::string receiveDirectory_;
  std::function<void(std::string_view)> writeReceiveDirectory_;
  DirectoryListModel directories_;
  std::string selectedDirectory_;  // what `编辑框1` shows
};

}  // namespace quenmora::app
