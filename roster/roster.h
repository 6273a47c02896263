#pragma once
// The roster box's text understood: a student a row, in the four columns the phone app reads
// too (school identification code, name, ID card number, class).
#include <string>
#include <string_view>
#include <vector>

namespace quenmora::roster {

// Every text is code page 936, as the box holds it.
struct Student {
  std::string school;    // the school identification code
  std::string name;
  std::string idNumber;  // as written; empty when the row leaves it out
  std::string className;
  int line = 0;          // the row's line in the box, from 1
};

// A line that is neither blank, nor a student's row, nor the column headings; never guessed at.
struct UnreadRow {
  int line = 0;
  std::string text;
};

struct Roster {
  std::vector<Student> students;  // in the box's order
  std::vector<UnreadRow> unread;
};

// Rows are separated by CR LF or LF alone. A row with a tab is split at its tabs (a spreadsheet
// copy); one without at runs of spaces, ASCII or ideographic. Fields are trimmed of both kinds of
// space. A row has four fields, of which only the ID card number may be empty, which only an
// empty cell between tabs can say; empty cells after the fourth (a copy one column too wide) are
// dropped. The column headings pasted with the rows are skipped wherever they stand: a row whose
// name field ends in 姓名 and whose ID card field begins with 身份证 (学校标识码 / 学生姓名 /
// 身份证件号码 / 班级名称 as well), which no student's row can be.
Roster ParseRoster(std::string_view text);

}  // namespace quenmora::roster
