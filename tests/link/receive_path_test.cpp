#include "link/receive_path.h"

#include <gtest/gtest.h>

namespace quenmora::link {
namespace {

TEST(ReceivePath, WindowsAlwaysAddsABackslash) {
  EXPECT_EQ(ReceivePath(u"D:\\", u"a.jpg", PathStyle::kWindows), u"D:\\\\a.jpg");
  EXPECT_EQ(ReceivePath(u"D:\\photos", u"sub/a.jpg", PathStyle::kWindows), u"D:\\photos\\sub/a.jpg");
}

TEST(ReceivePath, PosixReadsBackslashesInTheNameAsSlashes) {
  EXPECT_EQ(ReceivePath(u"/srv/in", u"sub\\a\\b.jpg", PathStyle::kPosix), u"/srv/in/sub/a/b.jpg");
  // The directory is the operator's own text and is left alone.
  EXPECT_EQ(ReceivePath(u"/srv/odd\\dir/", u"a.jpg", PathStyle::kPosix), u"/srv/odd\\dir//a.jpg");
}

}  // namespace
}  // namespace quenmora::link
