#include "roster/directory_scan.h"

#include <algorithm>
#include <utility>

#include "roster/native_name.h"
#include "roster/texts.h"

namespace quenmora::roster {
namespace fs = std::filesystem;
namespace {

struct ClassFolder {
  fs::path path;
  std::string shownPath;
};

void TakeFile(const fs::path& path, std::string_view name, std::string shownPath, const StudentIndex& index,
              DirectoryScan& scan) {
  const NameMatch match = index.Find(name);
  switch (match.kind) {
    case NameMatch::Kind::kStudent:
      scan.photos.push_back({match.students.front(), std::move(shownPath), CheckPhoto(path)});
      break;
    case NameMatch::Kind::kSharedName:
      scan.sharedNamePhotos.push_back({std::move(shownPath), {match.students.begin(), match.students.end()}});
      break;
    case NameMatch::Kind::kSharedIdNumber:
      break;
    case NameMatch::Kind::kNobody:
      if (IsPictureName(name)) scan.outsideRoster.push_back(std::move(shownPath));
      break;
  }
}

// False when the folder could not be listed, or not to its end. Its class folders are gathered
// into `classFolders` when given.
bool ScanFolder(const fs::path& folder, const std::string& shownPrefix, const StudentIndex& index,
                DirectoryScan& scan, std::vector<ClassFolder>* classFolders) {
  std::error_code error;
  for (fs::directory_iterator entries(folder, error), end; !error && entries != end; entries.increment(error)) {
    const fs::directory_entry& entry = *entries;
    const std::string name = GbkName(entry.path().filename());
    std::error_code typeError;
    if (entry.is_directory(typeError)) {
      if (classFolders != nullptr && !name.starts_with(kExportFolderPrefix.bytes) && index.IsClass(name)) {
        classFolders->push_back({entry.path(), shownPrefix + name});
      }
      continue;
    }
    // A file whose type cannot be told any more has most likely just gone; its check will say.
    if (entry.is_regular_file(typeError) || typeError) TakeFile(entry.path(), name, shownPrefix + name, index, scan);
  }
  return !error;
}

}  // namespace

std::optional<DirectoryScan> ScanReceiveDirectory(const fs::path& directory, const StudentIndex& index) {
  DirectoryScan scan;
  std::vector<ClassFolder> classFolders;
  if (!ScanFolder(directory, "", index, scan, &classFolders)) return std::nullopt;
  const std::string separator(1, static_cast<char>(fs::path::preferred_separator));
  for (const ClassFolder& folder : classFolders) {
    if (!ScanFolder(folder.path, folder.shownPath + separator, index, scan, nullptr)) {
      scan.unreadableFolders.push_back(folder.shownPath);
    }
  }
  const auto byPath = [](const auto& a, const auto& b) { return a.shownPath < b.shownPath; };
  std::sort(scan.photos.begin(), scan.photos.end(), byPath);
  std::sort(scan.sharedNamePhotos.begin(), scan.sharedNamePhotos.end(), byPath);
  std::sort(scan.outsideRoster.begin(), scan.outsideRoster.end());
  std::sort(scan.unreadableFolders.begin(), scan.unreadableFolders.end());
  return scan;
}

}  // namespace quenmora::roster
