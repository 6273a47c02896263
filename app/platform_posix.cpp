#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "app/platform.h"
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

std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* entry = getpwuid(getuid());
    home = entry ? entry->pw_dir : nullptr;
  }
  std::string path = home ? text::Utf8ToAnsi(home) : "";
  while (path.size() > 1 && path.ends_with('/')) path.pop_back();
  return path;
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
    struct stat info {};
    const std::string child = utf8Directory + "/" + entry->d_name;
    if (stat(child.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) continue;
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

}  // namespace quenmora::app
