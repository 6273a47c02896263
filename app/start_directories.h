#pragma once
// Where the operator's directories begin on a machine whose paths have no drive letters.
#include <optional>
#include <string>
#include <string_view>

#include "app/folder_picker.h"

namespace quenmora::app {

struct StartDirectories {
  std::string receiveDirectory;  // `目录编辑框1` at start
  PickerStart picker;
};

// Photos go to the Pictures folder when there is one, else to the home folder; with an empty
// receive-directory box the picker starts at the home folder, one of the drive list's drives.
// Paths are code-page-936 texts with "/".
StartDirectories HomeStartDirectories(std::string_view home,
                                      std::optional<std::string_view> pictures);

}  // namespace quenmora::app
