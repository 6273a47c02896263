#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "app/platform/platform.h"
#include "app/start_directories.h"
#include "text/codepage.h"

namespace quenmora::app {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

std::string UserName() {
  if (const char* user = std::getenv("USER"); user && *user) return user;
  const passwd* entry = getpwuid(getuid());
  return entry && entry->pw_name ? entry->pw_name : "";
}

// UTF-8, as the file system names it.
std::string HomeDirectoryUtf8() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* entry = getpwuid(getuid());
    home = entry ? entry->pw_dir : nullptr;
  }
  std::string path = home ? home : "";
  while (path.size() > 1 && path.ends_with('/')) path.pop_back();
  return path;
}

std::string HomeDirectory() { return text::Utf8ToAnsi(HomeDirectoryUtf8()); }

bool IsDirectory(const std::string& utf8Path) {
  struct stat info {};
  return stat(utf8Path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The user's XDG Pictures folder, named in user-dirs.dirs or else ~/Pictures; UTF-8.
std::string PicturesDirectoryUtf8(const std::string& home) {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const std::string config = configHome && *configHome ? configHome : home + "/.config";
  std::ifstream file(config + "/user-dirs.dirs");
  const std::string userDirs{std::istreambuf_iterator<char>(file), {}};
  return XdgUserDirectory(userDirs, "XDG_PICTURES_DIR", home).value_or(home + "/Pictures");
}

}  // namespace

std::vector<std::string> ListSubdirectories(std::string_view directory) {
  std::vector<std::string> names;
  const std::string utf8Directory = text::AnsiToUtf8(directory);
  const std::unique_ptr<DIR, DirCloser> dir(opendir(utf8Directory.c_str()));
  if (!dir) return names;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    // Links to directories count as directories: the operator can open them like any other.
    if (!IsDirectory(utf8Directory + "/" + entry->d_name)) continue;
    names.push_back(text::Utf8ToAnsi(name));
  }
  return names;
}

std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots{"/"};
  const auto add = [&roots](std::string root) {
    if (!root.empty() && std::ranges::find(roots, root) == roots.end()) roots.push_back(std::move(root));
  };
  add(HomeDirectory());
  // Where desktop systems mount USB sticks and cards: /media/USER (Debian, Ubuntu) and
  // /run/media/USER (Fedora, openSUSE).
  const std::string user = text::Utf8ToAnsi(UserName());
  if (user.empty()) return roots;
  for (const std::string_view base : {"/media/", "/run/media/"}) {
    const std::string folder = std::string(base) + user;
    std::vector<std::string> volumes = ListSubdirectories(folder);
    std::ranges::sort(volumes);
    for (const std::string& volume : volumes) add(folder + "/" + volume);
  }
  return roots;
}

StartDirectories MachineStartDirectories() {
  const std::string home = HomeDirectoryUtf8();
  const std::string pictures = PicturesDirectoryUtf8(home);
  std::optional<std::string> existingPictures;
  if (IsDirectory(pictures)) existingPictures = text::Utf8ToAnsi(pictures);
  return HomeStartDirectories(text::Utf8ToAnsi(home), existingPictures);
}

}  // namespace quenmora::app
