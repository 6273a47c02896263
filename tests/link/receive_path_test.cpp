#include "link/reception/receive_path.h"

#include <gtest/gtest.h>

#include <string>

namespace quenmora::link {
namespace {

std::string Shown(std::u16string_view directory) {
  return testing::PrintToString(std::u16string(directory));
}

TEST(ReceivePath, WindowsAlwaysAddsABackslash) {
  EXPECT_EQ(ReceivePath(u"D:\\", u"a.jpg", PathStyle::kWindows), u"D:\\\\a.jpg");
  EXPECT_EQ(ReceivePath(u"D:\\photos", u"sub/a.jpg", PathStyle::kWindows), u"D:\\photos\\sub/a.jpg");
}

TEST(ReceivePath, PosixReadsBackslashesInTheNameAsSlashes) {
  EXPECT_EQ(ReceivePath(u"/srv/in", u"sub\\a\\b.jpg", PathStyle::kPosix), u"/srv/in/sub/a/b.jpg");
  // The directory is the operator's own text and is left alone.
  EXPECT_EQ(ReceivePath(u"/srv/odd\\dir/", u"a.jpg", PathStyle::kPosix), u"/srv/odd\\dir//a.jpg");
}

TEST(IsAbsoluteReceiveDirectory, WindowsTakesADriveRootOrAFullShare) {
  for (std::u16string_view directory :
       {u"D:\\", u"d:/", u"C:\\photos\\2024", u"z:/a b", u"\\\\server\\share", u"\\\\server\\share\\",
        u"\\\\10.0.0.2\\photos\\in", u"//nas/share", u"\\\\s\\\u7167\u7247"}) {
    EXPECT_TRUE(IsAbsoluteReceiveDirectory(directory, PathStyle::kWindows)) << Shown(directory);
  }
  for (std::u16string_view directory :
       {u"", u"\\", u"/", u"photos", u".\\photos", u"..\\x", u"D:", u"D:photos", u"1:\\", u"\u00c4:\\",
        u"\\photos", u"\\\\", u"\\\\\\", u"\\\\server", u"\\\\server\\", u"\\\\\\share", u"\\\\.\\COM1",
        u"\\\\?\\C:\\x", u"\\\\..\\share", u"\\\\server\\..\\x", u"\\\\server\\.", u"/srv/photos"}) {
    EXPECT_FALSE(IsAbsoluteReceiveDirectory(directory, PathStyle::kWindows)) << Shown(directory);
  }
}

TEST(IsAbsoluteReceiveDirectory, PosixTakesWhatBeginsWithASlash) {
  for (std::u16string_view directory : {u"/", u"/srv/photos", u"//host/x"}) {
    EXPECT_TRUE(IsAbsoluteReceiveDirectory(directory, PathStyle::kPosix)) << Shown(directory);
  }
  for (std::u16string_view directory :
       {u"", u"photos", u"./photos", u"~/photos", u"D:\\", u"\\\\server\\share"}) {
    EXPECT_FALSE(IsAbsoluteReceiveDirectory(directory, PathStyle::kPosix)) << Shown(directory);
  }
}

}  // namespace
}  // namespace quenmora::link
