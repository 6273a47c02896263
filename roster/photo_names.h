#pragma once
// Which student a file of the receive directory is the photo of, told by its name alone.
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "roster/roster.h"

namespace quenmora::roster {

struct NameMatch {
  enum class Kind {
    kNobody,
    kStudent,
    kSharedName,      // the name (or school, class and name) of several rows
    kSharedIdNumber,  // a number several rows hold
  };
  Kind kind = Kind::kNobody;
  std::span<const std::size_t> students;  // the student, or those sharing; indices into the roster
};

// The roster's students by every name a photo of theirs may have, in hash maps: a directory's
// thousands of files are matched in time that grows with their number alone.
class StudentIndex {
 public:
  explicit StudentIndex(const std::vector<Student>& students);

  // A file belongs to a student when its name (code page 936), without its extension and without
  // a copy mark at its end (" (2)", "(2)", "（2）"), is
  // - school identification code, "_", class, "_", name, from the student's row;
  // - the student's name;
  // - or holds exactly one of the roster's ID card numbers: is one (X in either case), or has it
  //   among other text as a run of digits of its own. Only a number of the shape of one
  //   (id_numbers.h) names photos, so a spreadsheet's scientific form names none.
  // Names are compared as text and nothing more.
  NameMatch Find(std::string_view fileName) const;

  // Whether a folder of this name holds a class's photos.
  bool IsClass(std::string_view folderName) const { return classes_.contains(folderName); }

 private:
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  using Holders = std::unordered_map<std::string, std::vector<std::size_t>, TextHash, std::equal_to<>>;

  NameMatch FindNumberIn(std::string_view stem) const;

  Holders bySchoolClassName_;
  Holders byName_;
  Holders byIdNumber_;
  std::unordered_set<std::string, TextHash, std::equal_to<>> classes_;
};

// Whether `fileName` ends in a picture's extension, in any letter case: jpg jpeg png heic heif
// bmp gif webp tif tiff. A file that matches no student is listed only then, and is not read.
bool IsPictureName(std::string_view fileName);

}  // namespace quenmora::roster
