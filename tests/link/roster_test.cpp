#include "link/server/roster_message.h"

#include <gtest/gtest.h>

namespace quenmora::link {
namespace {

TEST(RosterMessageTest, WrapsTheRowsUnchangedWithoutATerminatingZero) {
  // Two pasted rows, tabs and CR LF as the roster box holds them; names and classes in GBK.
  const std::string message = BuildRosterMessage(
      "1101\t\xd5\xc5\xc8\xfd\t110101200001011234\t\xd2\xbb\xb0\xe0\r\n"
      "1101\t\xc0\xee\xcb\xc4\t11010120000202123X\t\xb6\xfe\xb0\xe0");
  const std::string expected =
      "STAT||1101\t\xd5\xc5\xc8\xfd\t110101200001011234\t\xd2\xbb\xb0\xe0\r\n"
      "1101\t\xc0\xee\xcb\xc4\t11010120000202123X\t\xb6\xfe\xb0\xe0||END";
  EXPECT_EQ(message, expected);
  EXPECT_EQ(message.size(), expected.size());  // no zero byte after the closing marker
  EXPECT_EQ(BuildRosterMessage(" \r\n"), "STAT|| \r\n||END");
}

}  // namespace
}  // namespace quenmora::link
