#pragma once
// The roster check's texts: the words that tell a pasted heading row and a copy's mark, and the
// report for the teachers.
#include <array>

#include "text/gbk_text.h"

namespace quenmora::roster {

// A heading row's name column ends in this and its ID card column begins with the other:
// 姓名 or 学生姓名, 身份证号, 身份证号码 or 身份证件号码.
inline constexpr text::GbkText kNameHeading{u8"姓名",
    "\xd0\xd5\xc3\xfb"};
inline constexpr text::GbkText kIdNumberHeading{u8"身份证",
    "\xc9\xed\xb7\xdd\xd6\xa4"};
// Characters a roster's fields and a file's copy mark are made of, besides their ASCII forms.
inline constexpr text::GbkText kIdeographicSpace{u8"　",
    "\xa1\xa1"};
inline constexpr text::GbkText kOpeningParenthesis{u8"（",
    "\xa3\xa8"};
inline constexpr text::GbkText kClosingParenthesis{u8"）",
    "\xa3\xa9"};
// Folders of photos already exported for the registry begin so; their photos are no new ones.
inline constexpr text::GbkText kExportFolderPrefix{u8"学籍照片_",
    "\xd1\xa7\xbc\xae\xd5\xd5\xc6\xac_"};

// The report's first line: 名册共N人，有照片X人，还缺Y人.
inline constexpr text::GbkText kSummaryBeforeStudents{u8"名册共",
    "\xc3\xfb\xb2\xe1\xb9\xb2"};
inline constexpr text::GbkText kSummaryBeforeWithPhoto{u8"人，有照片",
    "\xc8\xcb\xa3\xac\xd3\xd0\xd5\xd5\xc6\xac"};
inline constexpr text::GbkText kSummaryBeforeMissing{u8"人，还缺",
    "\xc8\xcb\xa3\xac\xbb\xb9\xc8\xb1"};
inline constexpr text::GbkText kSummaryEnd{u8"人",
    "\xc8\xcb"};
// The sections' headings, in the order they come.
inline constexpr text::GbkText kMissingHeading{u8"还缺照片：",
    "\xbb\xb9\xc8\xb1\xd5\xd5\xc6\xac\xa3\xba"};
inline constexpr text::GbkText kCutHeading{u8"照片不完整：",
    "\xd5\xd5\xc6\xac\xb2\xbb\xcd\xea\xd5\xfb\xa3\xba"};
inline constexpr text::GbkText kNotJpegHeading{u8"不是JPG格式：",
    "\xb2\xbb\xca\xc7JPG\xb8\xf1\xca\xbd\xa3\xba"};
inline constexpr text::GbkText kOversizeHeading{u8"大于60KB：",
    "\xb4\xf3\xd3\xda""60KB\xa3\xba"};
inline constexpr text::GbkText kUnreadableHeading{u8"无法读取：",
    "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xa3\xba"};
inline constexpr text::GbkText kSharedNameHeading{u8"同名，无法按姓名确认：",
    "\xcd\xac\xc3\xfb\xa3\xac\xce\xde\xb7\xa8\xb0\xb4\xd0\xd5\xc3\xfb\xc8\xb7\xc8\xcf\xa3\xba"};
inline constexpr text::GbkText kOutsideRosterHeading{u8"不在名册中的照片：",
    "\xb2\xbb\xd4\xda\xc3\xfb\xb2\xe1\xd6\xd0\xb5\xc4\xd5\xd5\xc6\xac\xa3\xba"};
inline constexpr text::GbkText kUnreadRowsHeading{u8"名册中无法识别的行：",
    "\xc3\xfb\xb2\xe1\xd6\xd0\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xb5\xc4\xd0\xd0\xa3\xba"};
inline constexpr text::GbkText kIdNumberFaultsHeading{u8"身份证号有误：",
    "\xc9\xed\xb7\xdd\xd6\xa4\xba\xc5\xd3\xd0\xce\xf3\xa3\xba"};
// A class under 还缺照片: "一班（2人）："; a student without a number there.
inline constexpr text::GbkText kClassCountAfter{u8"人）：",
    "\xc8\xcb\xa3\xa9\xa3\xba"};
inline constexpr text::GbkText kNoIdNumber{u8"无身份证号",
    "\xce\xde\xc9\xed\xb7\xdd\xd6\xa4\xba\xc5"};
// A photo of a student: "张三（一班）：张三.jpg"; after an oversized one's name, its size.
inline constexpr text::GbkText kClassAfter{u8"）：",
    "\xa3\xa9\xa3\xba"};
inline constexpr text::GbkText kComma{u8"，",
    "\xa3\xac"};
// A photo named after several students: "张三.jpg：名册中有2人同名（一班、二班），请改用身份证号命名".
inline constexpr text::GbkText kSharedNameBeforeCount{u8"：名册中有",
    "\xa3\xba\xc3\xfb\xb2\xe1\xd6\xd0\xd3\xd0"};
inline constexpr text::GbkText kSharedNameBeforeClasses{u8"人同名（",
    "\xc8\xcb\xcd\xac\xc3\xfb\xa3\xa8"};
inline constexpr text::GbkText kListSeparator{u8"、",
    "\xa1\xa2"};
inline constexpr text::GbkText kSharedNameAfterClasses{u8"），请改用身份证号命名",
    "\xa3\xa9\xa3\xac\xc7\xeb\xb8\xc4\xd3\xc3\xc9\xed\xb7\xdd\xd6\xa4\xba\xc5\xc3\xfc\xc3\xfb"};
// A row of the roster: "第3行"; a row's text or its faulty number follows the colon.
inline constexpr text::GbkText kLineBefore{u8"第",
    "\xb5\xda"};
inline constexpr text::GbkText kLineAfter{u8"行",
    "\xd0\xd0"};
inline constexpr text::GbkText kColon{u8"：",
    "\xa3\xba"};
// After a faulty number, what is wrong with it; the advice ends the section when a number is a
// spreadsheet's scientific form, which only the teacher can undo.
inline constexpr text::GbkText kWrongCheckDigit{u8"，校验位不对",
    "\xa3\xac\xd0\xa3\xd1\xe9\xce\xbb\xb2\xbb\xb6\xd4"};
inline constexpr text::GbkText kScientificNotation{u8"，是科学计数法",
    "\xa3\xac\xca\xc7\xbf\xc6\xd1\xa7\xbc\xc6\xca\xfd\xb7\xa8"};
inline constexpr text::GbkText kMalformed{u8"，位数或格式不对",
    "\xa3\xac\xce\xbb\xca\xfd\xbb\xf2\xb8\xf1\xca\xbd\xb2\xbb\xb6\xd4"};
inline constexpr text::GbkText kSharedIdNumber{u8"，号码重复",
    "\xa3\xac\xba\xc5\xc2\xeb\xd6\xd8\xb8\xb4"};
inline constexpr text::GbkText kScientificAdvice{u8"科学计数法：电子表格把身份证号当成了数字。请把身份证号一列设为“文本”格式，再重新输入这些身份证号。",
    "\xbf\xc6\xd1\xa7\xbc\xc6\xca\xfd\xb7\xa8\xa3\xba\xb5\xe7\xd7\xd3\xb1\xed\xb8\xf1\xb0\xd1\xc9\xed\xb7\xdd\xd6\xa4\xba\xc5\xb5\xb1\xb3\xc9\xc1\xcb\xca\xfd\xd7\xd6\xa1\xa3\xc7\xeb\xb0\xd1\xc9\xed\xb7\xdd\xd6\xa4\xba\xc5\xd2\xbb\xc1\xd0\xc9\xe8\xce\xaa\xa1\xb0\xce\xc4\xb1\xbe\xa1\xb1\xb8\xf1\xca\xbd\xa3\xac\xd4\xd9\xd6\xd8\xd0\xc2\xca\xe4\xc8\xeb\xd5\xe2\xd0\xa9\xc9\xed\xb7\xdd\xd6\xa4\xba\xc5\xa1\xa3"};

// Every text above, for the test that reads each back.
inline constexpr std::array kGbkTexts{
    kNameHeading, kIdNumberHeading, kIdeographicSpace, kOpeningParenthesis, kClosingParenthesis,
    kExportFolderPrefix, kSummaryBeforeStudents, kSummaryBeforeWithPhoto, kSummaryBeforeMissing,
    kSummaryEnd, kMissingHeading, kCutHeading, kNotJpegHeading, kOversizeHeading,
    kUnreadableHeading, kSharedNameHeading, kOutsideRosterHeading, kUnreadRowsHeading,
    kIdNumberFaultsHeading, kClassCountAfter, kNoIdNumber, kClassAfter, kComma,
    kSharedNameBeforeCount, kSharedNameBeforeClasses, kListSeparator, kSharedNameAfterClasses,
    kLineBefore, kLineAfter, kColon, kWrongCheckDigit, kScientificNotation, kMalformed,
    kSharedIdNumber, kScientificAdvice};

}  // namespace quenmora::roster
