#include "roster/photo_names.h"

#include <algorithm>
#include <array>

#include "roster/gbk_characters.h"
#include "roster/id_numbers.h"
#include "roster/texts.h"

namespace quenmora::roster {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The name without what follows its last dot; a name that begins with its only dot has none.
std::string_view Stem(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

// Whether `text`, which starts a character, is a whole copy mark: spaces, an opening parenthesis,
// digits, a closing parenthesis, ASCII or full-width.
bool IsCopyMark(std::string_view text) {
  const auto skip = [&text](std::string_view prefix) {
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
  };
  while (skip(" ") || skip(kIdeographicSpace)) {
  }
  if (!skip("(") && !skip(kOpeningParenthesis)) return false;
  const auto digits = static_cast<std::size_t>(std::find_if_not(text.begin(), text.end(), IsDigit) - text.begin());
  text.remove_prefix(digits);
  return digits > 0 && (text == ")" || text == kClosingParenthesis);
}

std::string_view WithoutCopyMark(std::string_view stem) {
  if (!stem.ends_with(')') && !stem.ends_with(kClosingParenthesis.bytes)) return stem;
  for (std::size_t at = GbkCharacterLength(stem, 0); at < stem.size(); at += GbkCharacterLength(stem, at)) {
    if (IsCopyMark(stem.substr(at))) return stem.substr(0, at);
  }
  return stem;
}

std::string SchoolClassName(const Student& student) {
  return student.school + "_" + student.className + "_" + student.name;
}

}  // namespace

StudentIndex::StudentIndex(const std::vector<Student>& students) {
  for (std::size_t i = 0; i < students.size(); ++i) {
    const Student& student = students[i];
    bySchoolClassName_[SchoolClassName(student)].push_back(i);
    byName_[student.name].push_back(i);
    if (HasIdNumberShape(IdNumberFormOf(student.idNumber))) byIdNumber_[IdNumberKey(student.idNumber)].push_back(i);
    classes_.insert(student.className);
  }
}

NameMatch StudentIndex::Find(std::string_view fileName) const {
  if (fileName.empty()) return {};
  const std::string_view stem = WithoutCopyMark(Stem(fileName));
  for (const Holders* index : {&bySchoolClassName_, &byName_}) {
    if (const auto found = index->find(stem); found != index->end()) {
      return {found->second.size() == 1 ? NameMatch::Kind::kStudent : NameMatch::Kind::kSharedName, found->second};
    }
  }
  return FindNumberIn(stem);
}

NameMatch StudentIndex::FindNumberIn(std::string_view stem) const {
  const std::vector<std::size_t>* holders = nullptr;
  for (std::size_t at = 0; at < stem.size();) {
    if (!IsDigit(stem[at])) {
      at += GbkCharacterLength(stem, at);
      continue;
    }
    // Digits are characters of one byte, so the run ends at a character's start.
    std::size_t end = at;
    while (end < stem.size() && IsDigit(stem[end])) ++end;
    if (end - at == 17 && end < stem.size() && (stem[end] == 'X' || stem[end] == 'x')) ++end;
    if (end - at == 15 || end - at == 18) {
      const auto found = byIdNumber_.find(IdNumberKey(stem.substr(at, end - at)));
      if (found != byIdNumber_.end()) {
        if (holders != nullptr && holders != &found->second) return {};  // two students' numbers
        holders = &found->second;
      }
    }
    at = end;
  }
  if (holders == nullptr) return {};
  return {holders->size() == 1 ? NameMatch::Kind::kStudent : NameMatch::Kind::kSharedIdNumber, *holders};
}

bool IsPictureName(std::string_view fileName) {
  static constexpr std::array<std::string_view, 10> kExtensions{"jpg", "jpeg", "png", "heic", "heif",
                                                                "bmp", "gif",  "webp", "tif", "tiff"};
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string extension(fileName.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return std::find(kExtensions.begin(), kExtensions.end(), extension) != kExtensions.end();
}

}  // namespace quenmora::roster
