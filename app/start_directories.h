#pragma once
// Where the operator's directories begin: the receive directory at start and the folder
// picker's start. Paths are code-page-936 texts.
#include <optional>
#include <string>
#include <string_view>

#include "app/folder_picker.h"

namespace quenmora::app {

struct StartDirectories {
  std::string receiveDirectory;  // `目录编辑框1` at start
  PickerStart picker;
};

// This machine's; one implementation per platform (app/platform/platform_*.cpp). On Windows photos go to
// "D:\" and an empty receive-directory box opens the picker on "D:\Program Files", drive D; on
// Linux, HomeStartDirectories with the user's XDG Pictures folder when it exists.
StartDirectories MachineStartDirectories();

// Photos go to the Pictures folder when there is one, else to the home folder; with an empty
// receive-directory box the picker starts at the home folder, one of the drive list's drives.
StartDirectories HomeStartDirectories(std::string_view home,
                                      std::optional<std::string_view> pictures);

// The directory `key` ("XDG_PICTURES_DIR") names in the text of an XDG user-dirs.dirs file: a
// line `KEY="$HOME/Pictures"` or `KEY="/absolute/path"`, `$HOME` replaced by `home`, without a
// trailing "/". None when the key is missing or its value is neither.
std::optional<std::string> XdgUserDirectory(std::string_view userDirs, std::string_view key,
                                            std::string_view home);

}  // namespace quenmora::app
