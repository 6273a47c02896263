#include "link/safe_file_name.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace quenmora::link {
namespace {

std::string Shown(std::u16string_view name) { return testing::PrintToString(std::u16string(name)); }

TEST(SafeFileName, RefusesNamesThatLeaveTheDirectory) {
  for (std::u16string_view name : {u"", u"..", u"../x.jpg", u"..\\x.jpg", u"a/../../x.jpg", u"a\\..",
                                   u"/etc/x", u"\\x.jpg", u"\\\\server\\share\\x", u"C:x.jpg",
                                   u"D:\\x.jpg", u"a.jpg:stream"}) {
    EXPECT_FALSE(IsSafeFileName(name, false)) << Shown(name);
    EXPECT_FALSE(IsSafeFileName(name, true)) << Shown(name);
  }
}

TEST(SafeFileName, AcceptsNamesInsideTheDirectory) {
  for (std::u16string_view name : {u"a.jpg", u"./a.jpg", u"sub/a.jpg", u"sub\\a.jpg", u"...jpg", u"..a",
                                   u"a..b", u"\u5f20\u4e09.jpg", u"a b\tc", u"CONSOLE.jpg", u"icon.jpg",
                                   u"COM0", u"COM10.jpg", u"LPT", u"xNUL"}) {
    EXPECT_TRUE(IsSafeFileName(name, true)) << Shown(name);
  }
}

TEST(SafeFileName, WindowsRulesRefuseDeviceNamesAndDotsThatTrimToParent) {
  for (std::u16string_view name : {u"CON", u"con.jpg", u"Prn.txt.jpg", u"sub/AUX", u"nul .jpg", u"COM1",
                                   u"com9.jpg", u"LPT1", u"lpt9.x", u"CONIN$", u"conout$.txt",
                                   u"COM\u00b9.jpg", u"a\\Nul\\b.jpg", u".. ", u"a\\...\\b.jpg",
                                   u". .", u"sub/.. /x.jpg"}) {
    EXPECT_FALSE(IsSafeFileName(name, true)) << Shown(name);
    EXPECT_TRUE(IsSafeFileName(name, false)) << Shown(name);
  }
}

}  // namespace
}  // namespace quenmora::link
