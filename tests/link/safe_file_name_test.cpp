#include "link/wire/safe_file_name.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

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

// Every type Windows runs or follows, in any case and however Windows would trim the name, and the
// two names it reads by itself: refused on both systems, in any component.
TEST(SafeFileName, RefusesProgramsShortcutsAndNamesWindowsReadsByItself) {
  const std::u16string types[] = {u"exe", u"com", u"bat", u"cmd", u"scr", u"pif", u"cpl", u"msi", u"msp",
                                  u"dll", u"sys", u"drv", u"ps1", u"psm1", u"vbs", u"vbe", u"js", u"jse",
                                  u"wsf", u"wsh", u"hta", u"jar", u"lnk", u"url", u"reg", u"inf", u"scf"};
  std::vector<std::u16string> refused = {
      u"a.EXE. .",    u"x.lnk ",       u"Photo.Bat",           u".exe",        u"a.jpg.exe",
      u"sub/run.cmd", u"a.exe/.",      u"dir.exe\\a.jpg",      u"desktop.ini", u"DESKTOP.INI",
      u"Autorun.Inf", u"autorun.inf.", u"sub\\Desktop.ini . "};
  for (const std::u16string& type : types) {
    std::u16string upper = type;
    for (char16_t& c : upper) c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    refused.insert(refused.end(), {u"a." + type, u"b." + upper + u".", u"c." + type + u" . "});
  }
  for (const std::u16string& name : refused) {
    EXPECT_FALSE(IsSafeFileName(name, false)) << Shown(name);
    EXPECT_FALSE(IsSafeFileName(name, true)) << Shown(name);
  }
}

// Photos of every other type, and names that only contain a refused type's letters, pass.
TEST(SafeFileName, AcceptsPhotosOfEveryOtherType) {
  for (std::u16string_view name : {u".jpg", u"a.jpg", u"a.JPEG", u"a.heic", u"a.png", u"a.exe.jpg",
                                   u"exe.jpg", u"exe", u"lnk", u"photo", u"a.exe1", u"a.exec", u"a.jss",
                                   u"a.ini", u"mydesktop.ini", u"desktop.ini.jpg", u"autorun.info"}) {
    EXPECT_TRUE(IsSafeFileName(name, false)) << Shown(name);
    EXPECT_TRUE(IsSafeFileName(name, true)) << Shown(name);
  }
}

}  // namespace
}  // namespace quenmora::link
