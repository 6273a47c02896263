#pragma once
// The roster check's report for the teachers: code page 936, CR LF after each line.
#include <cstddef>
#include <string>
#include <vector>

#include "roster/directory_scan.h"
#include "roster/id_numbers.h"
#include "roster/roster.h"

namespace quenmora::roster {

struct RosterReport {
  std::string text;
  std::size_t students = 0;   // the rows understood
  std::size_t withPhoto = 0;  // students with at least one whole JPEG, of any size
  std::size_t Missing() const { return students - withPhoto; }
};

// The first line is 名册共N人，有照片X人，还缺Y人. Each section below has its heading on a line of
// its own after a blank line, and its entries indented; a section with nothing in it is left out:
// 还缺照片 (the students without any photo, by class, in the roster's order), 照片不完整,
// 不是JPG格式 and 无法读取 (the photos of students who have no whole JPEG, a class folder that
// could not be listed), 大于60KB (the photos of students whose every whole JPEG is too big),
// 同名，无法按姓名确认, 不在名册中的照片, 名册中无法识别的行 and 身份证号有误.
RosterReport BuildReport(const Roster& roster, const std::vector<IdNumberFault>& faults, const DirectoryScan& scan);

}  // namespace quenmora::roster
