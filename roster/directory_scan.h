#pragma once
// The receive directory gone through for the roster's photos: each file matched by its name,
// and only a student's photos read.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "roster/photo_check.h"
#include "roster/photo_names.h"

namespace quenmora::roster {

// Paths are shown in code page 936, relative to the receive directory: "一班/张三.jpg".
struct StudentPhoto {
  std::size_t student;  // an index into the roster's students
  std::string shownPath;
  PhotoCheck check;
};

// A photo named after a name several rows have: it is nobody's until it is renamed.
struct SharedNamePhoto {
  std::string shownPath;
  std::vector<std::size_t> students;
};

// Each list in the order of its paths. A photo named after a number several rows hold is in none:
// the number's fault (id_numbers.h) stands for it.
struct DirectoryScan {
  std::vector<StudentPhoto> photos;
  std::vector<SharedNamePhoto> sharedNamePhotos;
  std::vector<std::string> outsideRoster;     // pictures (IsPictureName) that match nobody
  std::vector<std::string> unreadableFolders;  // class folders that could not be listed to the end
};

// The files of `directory` and of those of its own folders that are named after a class of the
// roster (an operator may sort the photos by class). Other folders are left alone, those of
// exported photos (学籍照片_...) too. A file that goes, or cannot be read, while the scan runs is
// a photo whose check says so. Nothing when `directory` itself cannot be listed.
std::optional<DirectoryScan> ScanReceiveDirectory(const std::filesystem::path& directory,
                                                  const StudentIndex& index);

}  // namespace quenmora::roster
