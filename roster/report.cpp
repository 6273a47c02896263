#include "roster/report.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "roster/texts.h"

namespace quenmora::roster {
namespace {

constexpr std::string_view kIndent = "  ";

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string joined;
  for (const std::string& part : parts) {
    if (!joined.empty()) joined += separator;
    joined += part;
  }
  return joined;
}

std::string Concatenated(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

// Rounded up to a tenth, so that a photo just over the limit never reads as 60.0KB or less.
std::string Kilobytes(std::uint64_t bytes) {
  const std::uint64_t tenths = (bytes * 10 + 1023) / 1024;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "KB";
}

std::string RowOf(const Student& student) {
  return Concatenated({kLineBefore, std::to_string(student.line), kLineAfter, " ", student.name});
}

std::string_view FaultText(IdNumberFault::Kind kind) {
  switch (kind) {
    case IdNumberFault::Kind::kWrongCheckDigit: return kWrongCheckDigit;
    case IdNumberFault::Kind::kScientific: return kScientificNotation;
    case IdNumberFault::Kind::kMalformed: return kMalformed;
    case IdNumberFault::Kind::kShared: return kSharedIdNumber;
  }
  return {};
}

class ReportText {
 public:
  void Line(std::string_view line) {
    text_ += line;
    text_ += "\r\n";
  }
  // `lines` come indented, under the heading; nothing at all when there are none.
  void Section(std::string_view heading, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    Line("");
    Line(heading);
    for (const std::string& line : lines) Line(Concatenated({kIndent, line}));
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// 还缺照片's lines: each class with how many students have no file at all, and those below it.
std::vector<std::string> MissingByClass(const std::vector<Student>& students, const DirectoryScan& scan) {
  std::vector<bool> hasFile(students.size());
  for (const StudentPhoto& photo : scan.photos) hasFile[photo.student] = true;
  std::vector<std::vector<std::size_t>> classes;
  std::unordered_map<std::string_view, std::size_t> classIndex;
  for (std::size_t i = 0; i < students.size(); ++i) {
    if (hasFile[i]) continue;
    const auto [found, added] = classIndex.try_emplace(students[i].className, classes.size());
    if (added) classes.emplace_back();
    classes[found->second].push_back(i);
  }
  std::vector<std::string> lines;
  for (const std::vector<std::size_t>& members : classes) {
    lines.push_back(Concatenated({students[members.front()].className, kOpeningParenthesis,
                                  std::to_string(members.size()), kClassCountAfter}));
    for (const std::size_t i : members) {
      const std::string_view number = students[i].idNumber.empty() ? std::string_view(kNoIdNumber) : students[i].idNumber;
      lines.push_back(Concatenated({kIndent, students[i].name, " ", number}));
    }
  }
  return lines;
}

std::vector<std::string> IdNumberFaultLines(const std::vector<Student>& students,
                                            const std::vector<IdNumberFault>& faults) {
  std::vector<std::string> lines;
  for (const IdNumberFault& fault : faults) {
    std::vector<std::string> rows;
    for (const std::size_t i : fault.students) rows.push_back(RowOf(students[i]));
    lines.push_back(Concatenated({Joined(rows, kListSeparator), kColon, students[fault.students.front()].idNumber,
                                  FaultText(fault.kind)}));
  }
  const auto scientific = [](const IdNumberFault& fault) { return fault.kind == IdNumberFault::Kind::kScientific; };
  if (std::any_of(faults.begin(), faults.end(), scientific)) lines.emplace_back(kScientificAdvice);
  return lines;
}

// The lines of the photo sections, and how many students have a whole JPEG.
struct PhotoLines {
  std::vector<std::string> cut, notJpeg, unreadable, oversize;
  std::size_t studentsWithPhoto = 0;
};

PhotoLines LinesOfPhotos(const std::vector<Student>& students, const DirectoryScan& scan) {
  std::vector<std::vector<const StudentPhoto*>> photos(students.size());
  for (const StudentPhoto& photo : scan.photos) photos[photo.student].push_back(&photo);
  const auto whole = [](const StudentPhoto* photo) { return photo->check.state == PhotoState::kWhole; };
  const auto small = [&whole](const StudentPhoto* photo) {
    return whole(photo) && photo->check.size < kRegistrySizeLimit;
  };
  PhotoLines lines;
  for (std::size_t i = 0; i < students.size(); ++i) {
    const bool hasWhole = std::any_of(photos[i].begin(), photos[i].end(), whole);
    if (hasWhole) ++lines.studentsWithPhoto;
    if (std::any_of(photos[i].begin(), photos[i].end(), small)) continue;
    const std::string student = Concatenated({students[i].name, kOpeningParenthesis, students[i].className, kClassAfter});
    for (const StudentPhoto* photo : photos[i]) {
      const std::string line = student + photo->shownPath;
      switch (photo->check.state) {
        case PhotoState::kWhole: lines.oversize.push_back(Concatenated({line, kComma, Kilobytes(photo->check.size)})); break;
        case PhotoState::kCut: if (!hasWhole) lines.cut.push_back(line); break;
        case PhotoState::kNotJpeg: if (!hasWhole) lines.notJpeg.push_back(line); break;
        case PhotoState::kUnreadable: if (!hasWhole) lines.unreadable.push_back(line); break;
      }
    }
  }
  lines.unreadable.insert(lines.unreadable.end(), scan.unreadableFolders.begin(), scan.unreadableFolders.end());
  return lines;
}

}  // namespace

RosterReport BuildReport(const Roster& roster, const std::vector<IdNumberFault>& faults, const DirectoryScan& scan) {
  const std::vector<Student>& students = roster.students;
  const PhotoLines photoLines = LinesOfPhotos(students, scan);
  RosterReport report;
  report.students = students.size();
  report.withPhoto = photoLines.studentsWithPhoto;

  std::vector<std::string> shared;
  for (const SharedNamePhoto& photo : scan.sharedNamePhotos) {
    std::vector<std::string> classes;
    for (const std::size_t i : photo.students) classes.push_back(students[i].className);
    shared.push_back(Concatenated({photo.shownPath, kSharedNameBeforeCount, std::to_string(photo.students.size()),
                                   kSharedNameBeforeClasses, Joined(classes, kListSeparator), kSharedNameAfterClasses}));
  }
  std::vector<std::string> unreadRows;
  for (const UnreadRow& row : roster.unread) {
    unreadRows.push_back(Concatenated({kLineBefore, std::to_string(row.line), kLineAfter, kColon, row.text}));
  }

  ReportText text;
  text.Line(Concatenated({kSummaryBeforeStudents, std::to_string(report.students), kSummaryBeforeWithPhoto,
                          std::to_string(report.withPhoto), kSummaryBeforeMissing, std::to_string(report.Missing()),
                          kSummaryEnd}));
  text.Section(kMissingHeading, MissingByClass(students, scan));
  text.Section(kCutHeading, photoLines.cut);
  text.Section(kNotJpegHeading, photoLines.notJpeg);
  text.Section(kUnreadableHeading, photoLines.unreadable);
  text.Section(kOversizeHeading, photoLines.oversize);
  text.Section(kSharedNameHeading, shared);
  text.Section(kOutsideRosterHeading, scan.outsideRoster);
  text.Section(kUnreadRowsHeading, unreadRows);
  text.Section(kIdNumberFaultsHeading, IdNumberFaultLines(students, faults));
  report.text = text.Take();
  return report;
}

}  // namespace quenmora::roster
