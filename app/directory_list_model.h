#pragma once
// The directory list of the folder picker: the chain from the drive's root down to the current
// directory, then the current directory's subdirectories sorted without regard to case, each
// indented by its depth. Paths are code-page-936 texts: "X:\a\b" on Windows, "/a/b" on Linux.
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quenmora::app {

struct DirectoryEntry {
  std::string name;  // the root's entry is the root itself ("D:\" or "/")
  int depth;         // 0 for the root
  friend bool operator==(const DirectoryEntry&, const DirectoryEntry&) = default;
};

// Whether `path` begins with a drive letter, ":" and "\" ("D:\photos").
bool StartsWithDriveRoot(std::string_view path);

// The entry as the directory list shows it: the name indented by three spaces per level.
std::string DisplayLine(const DirectoryEntry& entry);

// Which of the drive list's `drives` holds `path`: the drive whose letter begins a path with a
// drive root ("D:\" for "d:\photos"); for a "/" path, the drive named by the longest path that
// holds it ("/home/li" for "/home/li/Pictures", "/" for "/home/lin"). None for any other text.
std::optional<std::size_t> DriveHolding(std::span<const std::string> drives, std::string_view path);

// The names of a directory's subdirectories, in any order; empty if it cannot be read.
using SubdirectoryLister = std::function<std::vector<std::string>(std::string_view directory)>;

class DirectoryListModel {
 public:
  explicit DirectoryListModel(SubdirectoryLister lister);

  // Makes `path` the current directory and reads its subdirectories. A path that begins with a
  // root ("X:\" or "/") becomes the chain of its components, the drive letter upper-cased and
  // empty components dropped, whether or not it exists; any other text (a relative or network
  // path) is one entry kept exactly as given.
  void SetPath(std::string_view path);
  // The list's value: the full path of the current directory.
  const std::string& path() const { return path_; }
  std::span<const DirectoryEntry> entries() const { return entries_; }
  std::size_t currentIndex() const { return currentIndex_; }
  // Opening an entry makes it the current directory.
  void Open(std::size_t index);

 private:
  SubdirectoryLister lister_;
  std::string path_;
  std::vector<DirectoryEntry> entries_;
  std::size_t currentIndex_ = 0;
};

}  // namespace quenmora::app
