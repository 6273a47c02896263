#include "text/percent_decode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace quenmora::text {
namespace {

TEST(PercentDecode, FileStartNameBecomesCodePage936) {
  // 张三 escaped as UTF-8 by the phone, expected as its code page 936 bytes.
  EXPECT_EQ(PercentDecode("STAT%7C%7C%E5%BC%A0%E4%B8%89.jpg", true),
            "STAT||\xD5\xC5\xC8\xFD.jpg");
  EXPECT_EQ(PercentDecode("STAT%7C%7C%E5%BC%A0%E4%B8%89.jpg"),
            "STAT||\xE5\xBC\xA0\xE4\xB8\x89.jpg");
}

TEST(PercentDecode, HexDigitsInEitherCase) {
  for (bool utf8 : {false, true}) {
    EXPECT_EQ(PercentDecode("a%2fb", utf8), "a/b");
    EXPECT_EQ(PercentDecode("a%2Fb", utf8), "a/b");
  }
  EXPECT_EQ(PercentDecode("%aB%Cd%e0%F9"), "\xAB\xCD\xE0\xF9");
}

TEST(PercentDecode, PlusAndPlainAsciiStayAsTheyAre) {
  for (bool utf8 : {false, true}) {
    EXPECT_EQ(PercentDecode("a+b", utf8), "a+b");
    EXPECT_EQ(PercentDecode("END||", utf8), "END||");
    EXPECT_EQ(PercentDecode("IMG_0001 (2).jpg ~!@#$^&*", utf8), "IMG_0001 (2).jpg ~!@#$^&*");
    EXPECT_EQ(PercentDecode("", utf8), "");
  }
}

TEST(PercentDecode, DecodedZeroBytesAreDropped) {
  EXPECT_EQ(PercentDecode("%00abc"), "abc");
  EXPECT_EQ(PercentDecode("a%00b%00", true), "ab");
}

TEST(PercentDecode, InputEndsAtItsFirstZeroByte) {
  EXPECT_EQ(PercentDecode(std::string_view("STAT||a\0b%41", 12)), "STAT||a");
  EXPECT_EQ(PercentDecode(std::string_view("\0abc", 4), true), "");
}

TEST(PercentDecode, AppendingKeepsWhatTheBufferHolds) {
  std::string buffer = "kept|";
  AppendPercentDecoded(std::string_view("%41b%00c%4\0d", 12), buffer);
  EXPECT_EQ(buffer, "kept|Abc");
}

TEST(PercentDecode, EscapeCutShortEndsDecoding) {
  EXPECT_EQ(PercentDecode("ab%"), "ab");
  EXPECT_EQ(PercentDecode("ab%4"), "ab");
  EXPECT_EQ(PercentDecode("%41%"), "A");
  EXPECT_EQ(PercentDecode("%", true), "");
}

TEST(PercentDecode, NonHexDigitCountsAsMinusTwo) {
  // (-2) * 16 + 1 = -31 -> 0xE1; (-2) * 16 + (-2) = -34 -> 0xDE; 1 * 16 + (-2) = 14.
  EXPECT_EQ(PercentDecode("%G1x"), "\xE1x");
  EXPECT_EQ(PercentDecode("%zz"), "\xDE");
  EXPECT_EQ(PercentDecode("%1G"), "\x0E");
  // The second "%" is consumed as a digit of the first escape.
  EXPECT_EQ(PercentDecode("%%41"), "\xE4" "1");
}

TEST(PercentDecode, InvalidUtf8BecomesQuestionMarksAndDecodingGoesOn) {
  // The start of a JPEG file followed by a marker, as when a chunk of photo data is decoded.
  EXPECT_EQ(PercentDecode("\xFF\xD8\xFF\xE0STAT||%41", true), "????STAT||A");
  // An escaped character cut short, then more text.
  EXPECT_EQ(PercentDecode("%E5%BC", true), "?");
  EXPECT_EQ(PercentDecode("%E5%BCa.jpg", true), "?a.jpg");
}

TEST(PercentDecode, ResultNeverHoldsZeroBytes) {
  std::mt19937 random(20240601);
  // Escapes that decode to zero, raw zero bytes, and bytes of valid and invalid UTF-8.
  const std::string alphabet = std::string("%%00aF\xE5\xBC\xA0\xFF") + '\0';
  for (int round = 0; round < 2000; ++round) {
    std::string input;
    for (int i = 0; i < 12; ++i) input += alphabet[random() % alphabet.size()];
    for (bool utf8 : {false, true}) {
      const std::string decoded = PercentDecode(input, utf8);
      ASSERT_EQ(decoded.find('\0'), std::string::npos) << "input " << ::testing::PrintToString(input);
    }
  }
}

}  // namespace
}  // namespace quenmora::text
