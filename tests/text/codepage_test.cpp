#include "text/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace quenmora::text {
namespace {

const std::string kZhangSanUtf8 = "\xE5\xBC\xA0\xE4\xB8\x89";  // 张三
const std::string kZhangSanGbk = "\xD5\xC5\xC8\xFD";

TEST(Utf8ToAnsi, ConvertsChineseAndKeepsAscii) {
  EXPECT_EQ(Utf8ToAnsi("STAT||" + kZhangSanUtf8 + ".jpg"), "STAT||" + kZhangSanGbk + ".jpg");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC"), "\x80");  // the euro sign is one byte in 936
  EXPECT_EQ(Utf8ToAnsi(""), "");
}

TEST(Utf8ToAnsi, EachInvalidSequenceBecomesOneQuestionMark) {
  EXPECT_EQ(Utf8ToAnsi("\xE5\xBC"), "?");                // cut short at the end
  EXPECT_EQ(Utf8ToAnsi("\xE5\xBC" "A"), "?A");           // cut short by ASCII
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8" + kZhangSanUtf8), "?" + kZhangSanGbk);  // by a new lead byte
  EXPECT_EQ(Utf8ToAnsi("\xFF\xD8\xFF\xE0"), "????");     // a JPEG header
  EXPECT_EQ(Utf8ToAnsi("a\xC0\x80" "b"), "a??b");        // overlong zero
  EXPECT_EQ(Utf8ToAnsi("\x80\xBF"), "??");               // continuation bytes alone
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98" "x"), "?x");       // four-byte form cut short
  EXPECT_EQ(Utf8ToAnsi("\xF8\x88\x80\x80\x80"), "?????");  // no five-byte forms
}

TEST(MultiByteToUtf16, DecodesUtf8) {
  EXPECT_EQ(MultiByteToUtf16(kZhangSanUtf8, kCodePageUtf8), u"\u5F20\u4E09");
  EXPECT_EQ(MultiByteToUtf16("\xC3\xA9", kCodePageUtf8), u"\u00E9");
  EXPECT_EQ(MultiByteToUtf16("A\xF0\x9F\x98\x80", kCodePageUtf8), u"A\U0001F600");  // a pair
  EXPECT_EQ(MultiByteToUtf16("\xFF", kCodePageUtf8), u"\uFFFD");
  EXPECT_EQ(MultiByteToUtf16("", kCodePageUtf8), u"");
}

TEST(MultiByteToUtf16, DecodesCodePage936) {
  EXPECT_EQ(MultiByteToUtf16(kZhangSanGbk + "a.jpg", kCodePageGbk), u"\u5F20\u4E09a.jpg");
  EXPECT_EQ(MultiByteToUtf16("\x80", kCodePageGbk), u"\u20AC");
}

TEST(Utf16ToMultiByte, CharactersCodePage936LacksBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToMultiByte(u"a\u0E01b", kCodePageGbk), "a?b");  // Thai
  EXPECT_EQ(Utf16ToMultiByte(u"\uFFFD", kCodePageGbk), "?");
}

TEST(Utf16ToMultiByte, UnpairedSurrogatesBecomeQuestionMarks) {
  const char16_t highAlone[] = {u'a', 0xD83D, u'b', 0};
  const char16_t lowAlone[] = {u'a', 0xDE00, u'b', 0};
  const char16_t highAtEnd[] = {u'a', 0xD83D, 0};
  EXPECT_EQ(Utf16ToMultiByte(highAlone, kCodePageGbk), "a?b");
  EXPECT_EQ(Utf16ToMultiByte(lowAlone, kCodePageGbk), "a?b");
  EXPECT_EQ(Utf16ToMultiByte(highAtEnd, kCodePageGbk), "a?");
}

TEST(CodePage936, EveryCharacterRoundTripsThroughUtf16) {
  int characters = 1;
  const std::string euro = "\x80";
  ASSERT_EQ(Utf16ToMultiByte(MultiByteToUtf16(euro, kCodePageGbk), kCodePageGbk), euro);
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string unit = MultiByteToUtf16(pair, kCodePageGbk);
      ASSERT_EQ(unit.size(), 1u) << std::hex << lead << trail;
      if (unit[0] == u'\uFFFD' || unit[0] == u'?') continue;  // unassigned on this platform
      ASSERT_EQ(Utf16ToMultiByte(unit, kCodePageGbk), pair) << std::hex << lead << trail;
      ++characters;
    }
  }
  // 21 791 pairs and the euro sign hold characters everywhere; Windows adds private-use ones.
  EXPECT_GE(characters, 21792);
}

TEST(CodePage936, Utf8AndCodePage936RoundTrip) {
  const std::string utf8 = "A\xE2\x82\xAC" + kZhangSanUtf8 + "\xC3\xA9\xE3\x80\x81z";  // A€张三é、z
  const std::u16string utf16 = MultiByteToUtf16(utf8, kCodePageUtf8);
  EXPECT_EQ(Utf16ToMultiByte(utf16, kCodePageUtf8), utf8);
  const std::string gbk = Utf8ToAnsi(utf8);
  EXPECT_EQ(gbk, "A\x80" + kZhangSanGbk + "\xA8\xA6\xA1\xA2z");
  EXPECT_EQ(MultiByteToUtf16(gbk, kCodePageGbk), utf16);
  EXPECT_EQ(AnsiToUtf8(gbk), utf8);
  EXPECT_EQ(Utf16ToMultiByte(u"\U0001F600", kCodePageUtf8), "\xF0\x9F\x98\x80");
}

// The same on both platforms: what the operator typed is sent as it stands or as "?", and the
// caller learns which.
TEST(Utf16ToGbkWithoutLookAlikes, ReplacesWhatCodePage936LacksWithQuestionMarksAndSaysSo) {
  struct Case {
    std::u16string text;
    std::string expected;
    bool replaced;
  };
  const Case cases[] = {
      {u"", "", false},
      {u"\u5F20\u4E09\t1001\r\n", kZhangSanGbk + "\t1001\r\n", false},
      {u"Zhang?", "Zhang?", false},                   // a question mark of the text's own
      {u"\u20AC\u3001", "\x80\xA1\xA2", false},       // € and 、
      {u"a\u0E01b", "a?b", true},                     // Thai
      {u"\u00C9", "?", true},                         // É, not é
      {u"\u00AA", "?", true},                         // ª, not a
      {u"1\u00C9?", "1??", true},
  };
  for (const Case& c : cases) {
    bool replaced = !c.replaced;
    EXPECT_EQ(Utf16ToGbkWithoutLookAlikes(c.text, &replaced), c.expected) << c.expected;
    EXPECT_EQ(replaced, c.replaced) << c.expected;
    EXPECT_EQ(Utf16ToGbkWithoutLookAlikes(c.text), c.expected) << c.expected;
  }
}

TEST(Utf16ToGbkWithoutLookAlikes, CharactersBeyondTheBmpAreReplaced) {
  // Windows writes a "?" for each half of the pair, Linux one for the pair.
  bool replaced = false;
  const std::string gbk = Utf16ToGbkWithoutLookAlikes(u"\U0001F600", &replaced);
  EXPECT_TRUE(replaced);
  EXPECT_FALSE(gbk.empty());
  EXPECT_EQ(gbk.find_first_not_of('?'), std::string::npos) << gbk;
}

#ifdef _WIN32

TEST(Utf16ToMultiByte, WindowsWritesLookAlikesCodePage936Lacks) {
  EXPECT_EQ(Utf16ToMultiByte(u"\u00C9", kCodePageGbk), "\xA8\xA6");  // É as é
  EXPECT_EQ(Utf16ToMultiByte(u"\u00AA", kCodePageGbk), "a");         // ª as a
}

#else

TEST(Utf16ToMultiByte, LinuxWritesQuestionMarksWhereWindowsUsesLookAlikes) {
  EXPECT_EQ(Utf16ToMultiByte(u"\u00C9\u00AA", kCodePageGbk), "??");
}

TEST(Utf16ToMultiByte, LinuxWritesOneQuestionMarkForASurrogatePair) {
  // Windows writes one for each half.
  EXPECT_EQ(Utf16ToMultiByte(u"A\U0001F600B", kCodePageGbk), "A?B");
  EXPECT_EQ(Utf16ToMultiByte(u"\U0001F600\U0001F601", kCodePageGbk), "??");
}

TEST(MultiByteToUtf16, LinuxReplacesEachMaximalInvalidUtf8Subsequence) {
  const auto decode = [](std::string_view utf8) { return MultiByteToUtf16(utf8, kCodePageUtf8); };
  EXPECT_EQ(decode("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");                // a surrogate
  EXPECT_EQ(decode("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
  EXPECT_EQ(decode("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");                // overlong
  EXPECT_EQ(decode("\xF0\x80\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // overlong
}

TEST(MultiByteToUtf16, LinuxReplacesInvalidCodePage936Input) {
  EXPECT_EQ(MultiByteToUtf16("\xFF" "a", kCodePageGbk), u"\uFFFDa");
  EXPECT_EQ(MultiByteToUtf16("\xD5" "0", kCodePageGbk), u"\uFFFD0");  // lead byte, then no trail
  EXPECT_EQ(MultiByteToUtf16("a\xD5", kCodePageGbk), u"a\uFFFD");     // lead byte at the end
  EXPECT_EQ(MultiByteToUtf16("\xAA\xA1" "a", kCodePageGbk), u"\uFFFDa");  // user-defined area
}

TEST(CodePage936, LinuxTakesAnyCodePageButUtf8As936) {
  // 0 is Windows' own ANSI code page, 1252 its Western one: Linux reads and writes both as 936.
  for (const unsigned codePage : {0u, 1252u, kCodePageGbk}) {
    EXPECT_EQ(Utf16ToMultiByte(u"\u5F20\u4E09", codePage), kZhangSanGbk) << codePage;
    EXPECT_EQ(MultiByteToUtf16(kZhangSanGbk, codePage), u"\u5F20\u4E09") << codePage;
  }
  EXPECT_EQ(AnsiToUtf8(kZhangSanGbk + "\xFF"), kZhangSanUtf8 + "\xEF\xBF\xBD");
}

#endif

}  // namespace
}  // namespace quenmora::text
