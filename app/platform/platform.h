#pragma once
// What the window logic asks of the machine; one implementation per platform.
#include <string>
#include <string_view>
#include <vector>

namespace quenmora::app {

// The subdirectories of `directory` (code page 936), in any order; empty if it cannot be read.
std::vector<std::string> ListSubdirectories(std::string_view directory);

// What the folder picker's drive list offers, code page 936: the drive roots ("C:\") in the
// system's order on Windows; on Linux "/", the home folder, then the volumes mounted under
// /media/$USER and /run/media/$USER.
std::vector<std::string> DriveRoots();

}  // namespace quenmora::app
