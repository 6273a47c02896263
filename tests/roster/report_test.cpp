#include "roster/roster_check.h"

#include <gtest/gtest.h>

#include "photo_files.h"
#include "text/codepage.h"

namespace quenmora::roster {
namespace {

TEST(CheckRosterPhotos, ReportsEachStudentOnceWhereTheirPhotoFails) {
  testing::TemporaryDirectory directory;
  const auto write = [&directory](const char* utf8Name, const std::string& bytes) {
    testing::WriteFile(directory.path() / std::u8string(reinterpret_cast<const char8_t*>(utf8Name)), bytes);
  };
  write("张三.jpg", testing::Jpeg(100));
  write("李四.jpg", testing::Jpeg(100, false));
  write("王五.jpg", "\x89PNG\r\n\x1a\n");
  write("赵六.jpg", testing::Jpeg(kRegistrySizeLimit - 31));  // exactly 60 KB: not smaller
  write("钱七.jpg", testing::Jpeg(kRegistrySizeLimit - 32));
  write("吴十.jpg", testing::Jpeg(100, false));  // cut, but another is whole
  write("吴十 (2).jpg", testing::Jpeg(100));
  write("郑一.jpg", testing::Jpeg(100));
  write("陌生人.jpg", "");
  const std::optional<RosterReport> report = CheckRosterPhotos(text::Utf8ToAnsi(
      "4401\t张三\t11010519491231002X\t一班\r\n4401\t李四\t440101200001011239\t一班\r\n"
      "4401\t王五\t440101200003033458\t二班\r\n4401\t赵六\t440101200005055677\t二班\r\n"
      "4401\t钱七\t440101200006066781\t二班\r\n4401\t孙八\t4.40101E+17\t三班\r\n"
      "4401\t周九\t\t三班\r\n4401\t吴十\t440101200004044562\t一班\r\n"
      "4401\t郑一\t\t一班\r\n4401\t郑一\t\t三班\r\n4401 一班\r\n"
      "4401\t冯二\t110105194912310021\t三班\r\n4401\t陈三\t11010519491231002x\t三班\r\n"),
      directory.path());
  ASSERT_TRUE(report);
  EXPECT_EQ(report->Missing(), 8u);
  EXPECT_EQ(text::AnsiToUtf8(report->text),
            "名册共12人，有照片4人，还缺8人\r\n"
            "\r\n还缺照片：\r\n"
            "  三班（5人）：\r\n    孙八 4.40101E+17\r\n    周九 无身份证号\r\n    郑一 无身份证号\r\n"
            "    冯二 110105194912310021\r\n    陈三 11010519491231002x\r\n"
            "  一班（1人）：\r\n    郑一 无身份证号\r\n"
            "\r\n照片不完整：\r\n  李四（一班）：李四.jpg\r\n"
            "\r\n不是JPG格式：\r\n  王五（二班）：王五.jpg\r\n"
            "\r\n大于60KB：\r\n  赵六（二班）：赵六.jpg，60.0KB\r\n"
            "\r\n同名，无法按姓名确认：\r\n  郑一.jpg：名册中有2人同名（一班、三班），请改用身份证号命名\r\n"
            "\r\n不在名册中的照片：\r\n  陌生人.jpg\r\n"
            "\r\n名册中无法识别的行：\r\n  第11行：4401 一班\r\n"
            "\r\n身份证号有误：\r\n"
            "  第1行 张三、第13行 陈三：11010519491231002X，号码重复\r\n"
            "  第6行 孙八：4.40101E+17，是科学计数法\r\n"
            "  第12行 冯二：110105194912310021，校验位不对\r\n"
            "  科学计数法：电子表格把身份证号当成了数字。请把身份证号一列设为“文本”格式，再重新输入这些身份证号。\r\n");
}

TEST(CheckRosterPhotos, NamesOnlyTheCountWhenEveryPhotoIsThere) {
  testing::TemporaryDirectory directory;
  testing::WriteFile(directory.path() / "11010519491231002X.jpg", testing::Jpeg(100));
  const std::optional<RosterReport> report =
      CheckRosterPhotos(text::Utf8ToAnsi("4401\t张三\t11010519491231002X\t一班"), directory.path());
  ASSERT_TRUE(report);
  EXPECT_EQ(text::AnsiToUtf8(report->text), "名册共1人，有照片1人，还缺0人\r\n");
  EXPECT_FALSE(CheckRosterPhotos("", directory.path() / "gone"));
}

}  // namespace
}  // namespace quenmora::roster
