#include "app/directory_list_model.h"

#include <algorithm>
#include <utility>

namespace quenmora::app {
namespace {

bool IsGbkLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x81; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char FoldAsciiCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

char UpperAsciiCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The root a path begins with: "X:\" (drive letter upper-cased) or "/"; empty if it has neither.
std::string RootOf(std::string_view path) {
  if (StartsWithDriveRoot(path)) return {UpperAsciiCase(path[0]), ':', '\\'};
  if (path.starts_with('/')) return "/";
  return {};
}

char SeparatorAfter(std::string_view root) { return root == "/" ? '/' : '\\'; }

// Splits on the separator, leaving empty components out. The second byte of a GBK character may
// equal "\", so characters are stepped over whole.
std::vector<std::string> Components(std::string_view path, char separator) {
  std::vector<std::string> components;
  std::string current;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == separator) {
      if (!current.empty()) components.push_back(std::move(current));
      current.clear();
      continue;
    }
    current += path[i];
    if (IsGbkLeadByte(path[i]) && i + 1 < path.size()) current += path[++i];
  }
  if (!current.empty()) components.push_back(std::move(current));
  return components;
}

// Orders names ignoring the case of ASCII letters; a double-byte character compares by its bytes.
// Names equal but for case fall back to their bytes so the order is total.
bool CaseInsensitiveLess(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  bool inDoubleByte = false;
  for (; i < a.size() && i < b.size(); ++i) {
    const bool fold = !inDoubleByte;
    const auto ca = static_cast<unsigned char>(fold ? FoldAsciiCase(a[i]) : a[i]);
    const auto cb = static_cast<unsigned char>(fold ? FoldAsciiCase(b[i]) : b[i]);
    if (ca != cb) return ca < cb;
    inDoubleByte = !inDoubleByte && IsGbkLeadByte(a[i]);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return std::ranges::lexicographical_compare(a, b, [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

}  // namespace

bool StartsWithDriveRoot(std::string_view path) {
  return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

std::string DisplayLine(const DirectoryEntry& entry) {
  constexpr int kIndentSpaces = 3;
  return std::string(static_cast<std::size_t>(entry.depth * kIndentSpaces), ' ') + entry.name;
}

std::optional<std::size_t> DriveHolding(std::span<const std::string> drives, std::string_view path) {
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const std::string_view drive = drives[i];
    if (StartsWithDriveRoot(path)) {
      if (!drive.empty() && FoldAsciiCase(drive[0]) == FoldAsciiCase(path[0])) return i;
      continue;
    }
    if (!path.starts_with('/') || !drive.starts_with('/') || !path.starts_with(drive)) continue;
    const bool wholeComponent =
        drive.ends_with('/') || path.size() == drive.size() || path[drive.size()] == '/';
    if (wholeComponent && (!found || drives[*found].size() < drive.size())) found = i;
  }
  return found;
}

DirectoryListModel::DirectoryListModel(SubdirectoryLister lister) : lister_(std::move(lister)) {}

void DirectoryListModel::SetPath(std::string_view path) {
  entries_.clear();
  const std::string root = RootOf(path);
  if (root.empty()) {
    // A relative or network path: shown whole as the top of the list, kept exactly as given.
    path_ = path;
    entries_.push_back({path_, 0});
  } else {
    const char separator = SeparatorAfter(root);
    path_ = root;
    entries_.push_back({root, 0});
    for (std::string& component : Components(path.substr(root.size()), separator)) {
      if (entries_.size() > 1) path_ += separator;
      path_ += component;
      entries_.push_back({std::move(component), static_cast<int>(entries_.size())});
    }
  }
  currentIndex_ = entries_.size() - 1;

  std::vector<std::string> subdirectories = lister_(path_);
  std::ranges::sort(subdirectories, CaseInsensitiveLess);
  const int depth = static_cast<int>(entries_.size());
  for (std::string& name : subdirectories) entries_.push_back({std::move(name), depth});
}

void DirectoryListModel::Open(std::size_t index) {
  if (index >= entries_.size() || index == currentIndex_) return;
  const std::string& root = entries_.front().name;
  const char separator = SeparatorAfter(root);
  // The path is the chain up to the entry, or the whole chain and then the subdirectory.
  const std::size_t chainEnd = std::min(index, currentIndex_);
  std::string path = root;
  // A root already ends with its separator; a relative or network top entry does not.
  bool separatorDue = RootOf(root).empty();
  auto append = [&](const std::string& name) {
    if (separatorDue) path += separator;
    path += name;
    separatorDue = true;
  };
  for (std::size_t i = 1; i <= chainEnd; ++i) append(entries_[i].name);
  if (index > currentIndex_) append(entries_[index].name);
  SetPath(path);
}

}  // namespace quenmora::app
