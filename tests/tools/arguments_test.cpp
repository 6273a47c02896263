#include "tools/arguments.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quenmora::tools {
namespace {

Arguments Parse(const std::vector<std::string>& args) {
  return ParseArguments(args, {"raw"}, {"port", "name"});
}

TEST(ParseArguments, OptionsStandAnywhereInEitherFormUntilTwoDashes) {
  struct Case {
    std::vector<std::string> args;
    std::map<std::string, std::string, std::less<>> options;
    std::vector<std::string> positional;
  };
  const Case cases[] = {
      {{}, {}, {}},
      {{"a", "b"}, {}, {"a", "b"}},
      {{"--port", "7", "dir"}, {{"port", "7"}}, {"dir"}},
      {{"dir", "--port=7"}, {{"port", "7"}}, {"dir"}},
      {{"--name=a=b", "--raw", "x"}, {{"name", "a=b"}, {"raw", ""}}, {"x"}},
      {{"--name", "--raw"}, {{"name", "--raw"}}, {}},  // a value may look like an option
      {{"--name="}, {{"name", ""}}, {}},
      {{"--port", "1", "--port", "2"}, {{"port", "2"}}, {}},  // the last one counts
      {{"--raw", "--", "--port", "-"}, {{"raw", ""}}, {"--port", "-"}},
      {{"-p", "-"}, {}, {"-p", "-"}},
  };
  for (const Case& c : cases) {
    const Arguments parsed = Parse(c.args);
    EXPECT_EQ(parsed.options, c.options) << testing::PrintToString(c.args);
    EXPECT_EQ(parsed.positional, c.positional) << testing::PrintToString(c.args);
  }
}

TEST(ParseArguments, RefusesUnknownOptionsFlagsWithValuesAndMissingValues) {
  const std::vector<std::string> refused[] = {
      {"--fast"}, {"--raw=1"}, {"dir", "--port"}, {"---port", "1"}, {"--Port", "1"}};
  for (const std::vector<std::string>& args : refused) {
    EXPECT_THROW(Parse(args), UsageError) << testing::PrintToString(args);
  }
}

TEST(ParseWholeNumber, TakesDecimalDigitsWithinTheRangeOnly) {
  struct Case {
    std::string_view text;
    std::uint64_t least, most;
    std::optional<std::uint64_t> value;
  };
  const Case cases[] = {
      {"0", 0, 65535, 0},          {"65535", 0, 65535, 65535}, {"0042", 1, 100, 42},
      {"0", 1, 65535, {}},         {"65536", 0, 65535, {}},    {"", 0, 9, {}},
      {"-1", 0, 9, {}},            {"+1", 0, 9, {}},           {" 1", 0, 9, {}},
      {"1 ", 0, 9, {}},            {"1x", 0, 9, {}},           {"0x10", 0, 99, {}},
      {"18446744073709551616", 0, UINT64_MAX, {}},  // one past the largest
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseWholeNumber(c.text, c.least, c.most), c.value) << c.text;
  }
}

TEST(Arguments, NumberFallsBackWhenAbsentAndRefusesAnythingButANumberInRange) {
  const Arguments parsed = Parse({"--port", "8080", "--name", "x"});
  EXPECT_EQ(parsed.Number("port", 3456, 0, 65535), 8080u);
  EXPECT_EQ(Parse({}).Number("port", 3456, 0, 65535), 3456u);
  EXPECT_THROW(parsed.Number("port", 3456, 0, 8079), UsageError);
  EXPECT_THROW(parsed.Number("name", 1, 0, 9), UsageError);
}

TEST(AsksForVersion, OnlyAsTheFirstArgumentAfterTheProgramName) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{"tool", "--version"}, true},
      {{"tool", "--version", "x"}, true},
      {{"tool"}, false},
      {{}, false},
      {{"--version"}, false},  // the program name itself
      {{"tool", "send", "--raw-name", "--version"}, false},  // a value, not a request
      {{"tool", "--", "--version"}, false},
      {{"tool", "--version=1"}, false},
      {{"tool", "-version"}, false},
  };
  for (const auto& [commandLine, asks] : cases) {
    EXPECT_EQ(AsksForVersion(commandLine), asks) << testing::PrintToString(commandLine);
  }
}

TEST(VersionLine, IsTheProgramAndADottedVersion) {
  const std::string line = VersionLine("quenmora-phone");
  ASSERT_TRUE(line.starts_with("quenmora-phone ")) << line;
  const std::string version = line.substr(line.find(' ') + 1);
  int dots = 0;
  for (char c : version) {
    if (c == '.') ++dots;
    else EXPECT_TRUE(c >= '0' && c <= '9') << line;
  }
  EXPECT_EQ(dots, 2) << line;
}

}  // namespace
}  // namespace quenmora::tools
