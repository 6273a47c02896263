#pragma once
// The roster check's texts: the words that tell a pasted heading row, and the report for the
// teachers.
#include <array>

#include "text/gbk_text.h"

namespace quenmora::roster {

// A heading row's name column ends in this and its ID card column begins with the other:
// 姓名 or 学生姓名, 身份证号, 身份证号码 or 身份证件号码.
inline constexpr text::GbkText kNameHeading{u8"姓名",
    "\xd0\xd5\xc3\xfb"};
inline constexpr text::GbkText kIdNumberHeading{u8"身份证",
    "\xc9\xed\xb7\xdd\xd6\xa4"};
// Fields are separated and trimmed of this as of ASCII spaces.
inline constexpr text::GbkText kIdeographicSpace{u8"　",
    "\xa1\xa1"};

// Every text above, for the test that reads each back.
inline constexpr std::array kGbkTexts{kNameHeading, kIdNumberHeading, kIdeographicSpace};

}  // namespace quenmora::roster
