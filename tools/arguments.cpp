#include "tools/arguments.h"

#include <charconv>

#include "quenmora_version.h"

namespace quenmora::tools {

std::uint64_t Arguments::Number(std::string_view name, std::uint64_t fallback,
                                std::uint64_t least, std::uint64_t most) const {
  const auto found = options.find(name);
  if (found == options.end()) return fallback;
  const std::optional<std::uint64_t> value = ParseWholeNumber(found->second, least, most);
  if (!value) {
    throw UsageError("--" + std::string(name) + " takes a whole number from " +
                     std::to_string(least) + " to " + std::to_string(most));
  }
  return *value;
}

Arguments ParseArguments(std::span<const std::string> args, const std::set<std::string>& flags,
                         const std::set<std::string>& valued) {
  Arguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !arg.starts_with("--")) {
      parsed.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name =
        arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    if (flags.contains(name) && equals == std::string::npos) {
      parsed.options[name] = "";
    } else if (valued.contains(name)) {
      if (equals != std::string::npos) {
        parsed.options[name] = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        parsed.options[name] = args[++i];
      } else {
        throw UsageError("--" + name + " needs a value");
      }
    } else {
      throw UsageError("unknown option " + arg);
    }
  }
  return parsed;
}

bool AsksForVersion(std::span<const std::string> commandLine) {
  return commandLine.size() >= 2 && commandLine[1] == "--version";
}

std::string VersionLine(std::string_view program) {
  return std::string(program) + " " + QUENMORA_VERSION;
}

std::optional<std::uint64_t> ParseWholeNumber(std::string_view text, std::uint64_t least,
                                              std::uint64_t most) {
  std::uint64_t value = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < least || value > most) {
    return std::nullopt;
  }
  return value;
}

}  // namespace quenmora::tools
