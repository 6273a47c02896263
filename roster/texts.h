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

// Every text above, for the test that reads each back.
inline constexpr std::array kGbkTexts{kNameHeading, kIdNumberHeading, kIdeographicSpace,
                                      kOpeningParenthesis, kClosingParenthesis, kExportFolderPrefix};

}  // namespace quenmora::roster
