#include "roster/roster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "roster/id_numbers.h"
#include "text/codepage.h"

namespace quenmora::roster {
namespace {

using text::AnsiToUtf8;
using text::Utf8ToAnsi;

// A student as "school|name|ID|class@line", in UTF-8.
std::vector<std::string> Shown(const Roster& roster) {
  std::vector<std::string> shown;
  for (const Student& s : roster.students) {
    shown.push_back(AnsiToUtf8(s.school + "|" + s.name + "|" + s.idNumber + "|" + s.className) + "@" +
                    std::to_string(s.line));
  }
  return shown;
}

// A row not understood as "line:text", in UTF-8.
std::vector<std::string> Unread(const Roster& roster) {
  std::vector<std::string> rows;
  for (const UnreadRow& row : roster.unread) rows.push_back(std::to_string(row.line) + ":" + AnsiToUtf8(row.text));
  return rows;
}

TEST(ParseRoster, UnderstandsRowsAndReportsTheRestByLine) {
  const struct {
    const char* what;
    std::string box;  // UTF-8, converted to code page 936
    std::vector<std::string> students;
    std::vector<std::string> unread;
  } cases[] = {
      {"a spreadsheet copy", "4401\t张三\t11010519491231002X\t一班\r\n4401\t李四\t\t二班\r\n",
       {"4401|张三|11010519491231002X|一班@1", "4401|李四||二班@2"}, {}},
      {"LF alone, cells trimmed", " 4401 \t　张三　\t 110105491231002\t一班　\n", {"4401|张三|110105491231002|一班@1"}, {}},
      {"runs of ASCII and ideographic spaces", "4401 　 张三  4.40101E+17　一班", {"4401|张三|4.40101E+17|一班@1"}, {}},
      {"a space split only between characters: 啊 and · hold A1 A1 between them",
       "4401 张啊·三 11010519491231002X 一班", {"4401|张啊·三|11010519491231002X|一班@1"}, {}},
      {"three fields without tabs cannot say which is missing", "\r\n4401 张三 一班\r\n", {}, {"2:4401 张三 一班"}},
      {"blank lines, an empty spreadsheet row and the headings are skipped but counted",
       "学校标识码\t姓名\t身份证号\t班级\r\n\r\n \t\t　\r\n学校标识码 学生姓名 身份证号码 班级名称\r\n4401\t张三\t\t一班",
       {"4401|张三||一班@5"}, {}},
      {"empty cells past the fourth are dropped, a fifth field is not",
       "4401\t张三\t\t一班\t\t\r\n4401\t李四\t\t二班\t备注", {"4401|张三||一班@1"}, {"2:4401\t李四\t\t二班\t备注"}},
      {"only the ID card number may be empty", "4401\t\t11010519491231002X\t一班\n\t张三\t\t一班\n4401\t张三\t\t", {},
       {"1:4401\t\t11010519491231002X\t一班", "2:\t张三\t\t一班", "3:4401\t张三\t\t"}},
      {"a heading-like row with another shape is not understood", "姓名\t身份证号", {}, {"1:姓名\t身份证号"}},
  };
  for (const auto& c : cases) {
    const Roster roster = ParseRoster(Utf8ToAnsi(c.box));
    EXPECT_EQ(Shown(roster), c.students) << c.what;
    EXPECT_EQ(Unread(roster), c.unread) << c.what;
  }
}

TEST(IdNumberFormOf, TellsEachKindOfFault) {
  const struct {
    const char* number;
    IdNumberForm form;
  } cases[] = {
      {"11010519491231002X", IdNumberForm::kValid},          {"11010519491231002x", IdNumberForm::kValid},
      {"440101200001011239", IdNumberForm::kValid},          {"110105491231002", IdNumberForm::kValid},
      {"110105194912310021", IdNumberForm::kWrongCheckDigit}, {"44010120000101123X", IdNumberForm::kWrongCheckDigit},
      {"4.40101E+17", IdNumberForm::kScientific},            {"4.40101e17", IdNumberForm::kScientific},
      {"4E+17", IdNumberForm::kScientific},                  {"4,40101E+17", IdNumberForm::kScientific},
      {"4.40101E+", IdNumberForm::kMalformed},               {"E+17", IdNumberForm::kMalformed},
      {"11010519491231002Y", IdNumberForm::kMalformed},      {"1101051949123100", IdNumberForm::kMalformed},
      {"1101054912310021", IdNumberForm::kMalformed},        {"11010519491231002X ", IdNumberForm::kMalformed},
      {"", IdNumberForm::kEmpty},
  };
  for (const auto& c : cases) EXPECT_EQ(IdNumberFormOf(c.number), c.form) << c.number;
}

TEST(FindIdNumberFaults, NamesEachWrongNumberAndEverySharerInRowOrder) {
  std::vector<Student> students;
  for (const char* number : {"11010519491231002X", "110105194912310021", "4.40101E+17", "4.40101E+17",
                             "11010519491231002x", "", "", "12345", "110105194912310021"}) {
    students.push_back({"4401", "x", number, "1", 0});
  }
  using Kind = IdNumberFault::Kind;
  const std::vector<std::pair<Kind, std::vector<std::size_t>>> expected{
      {Kind::kShared, {0, 4}},     {Kind::kWrongCheckDigit, {1}}, {Kind::kShared, {1, 8}},
      {Kind::kScientific, {2}},    {Kind::kScientific, {3}},      {Kind::kMalformed, {7}},
      {Kind::kWrongCheckDigit, {8}},
  };
  std::vector<std::pair<Kind, std::vector<std::size_t>>> found;
  for (const IdNumberFault& fault : FindIdNumberFaults(students)) found.emplace_back(fault.kind, fault.students);
  EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace quenmora::roster
