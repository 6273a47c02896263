#pragma once
// The tools' command lines: options and positional arguments, and whole numbers in them.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quenmora::tools {

// A command line the tool cannot run with: it says why, shows its usage and exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Arguments {
  // By name without "--"; a flag maps to "".
  std::map<std::string, std::string, std::less<>> options;
  std::vector<std::string> positional;

  bool Has(std::string_view name) const { return options.contains(name); }
  // The option as a whole number from `least` to `most`, or `fallback` when it was not given.
  // Throws UsageError when its value is anything else.
  std::uint64_t Number(std::string_view name, std::uint64_t fallback, std::uint64_t least,
                       std::uint64_t most) const;
};

// Options may stand anywhere, as "--name VALUE" or "--name=VALUE" for one of `valued`, or as
// "--name" for one of `flags`; "--" ends them, and everything else is positional. Throws
// UsageError for an unknown option, a flag given a value or a valued option without its value.
Arguments ParseArguments(std::span<const std::string> args, const std::set<std::string>& flags,
                         const std::set<std::string>& valued);

// True when the command line, program name first, is the program name and "--version" before
// anything else; the tool then prints VersionLine and exits.
bool AsksForVersion(std::span<const std::string> commandLine);
// "PROGRAM VERSION", with the project's version.
std::string VersionLine(std::string_view program);

// `text` as a whole number from `least` to `most`: decimal digits only, with no sign or spaces.
// Empty for anything else.
std::optional<std::uint64_t> ParseWholeNumber(std::string_view text, std::uint64_t least,
                                              std::uint64_t most);

}  // namespace quenmora::tools
