// quenmora-phone: plays the phone's part on the desktop's port, for tests and benchmarks.
//   send HOST[:PORT] FILE...   sends photos the way the phone app does
//   roster HOST[:PORT]         waits for the roster the desktop sends and prints its rows
#include <charconv>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <asio/io_context.hpp>

#include "text/codepage.h"
#include "tools/phone_endpoint.h"
#include "tools/phone_roster.h"
#include "tools/phone_sender.h"
#include "tools/tool_console.h"
#include "tools/utf8_path.h"

namespace {

using namespace quenmora::tools;

constexpr std::string_view kUsage =
    "usage: quenmora-phone send [--chunk BYTES] [--pause-ms MS | --no-pause] [--raw-name TEXT]"
    " HOST[:PORT] FILE...\n"
    "       quenmora-phone roster [--raw] [--timeout SECONDS] HOST[:PORT]\n"
    "PORT defaults to 3456.";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Arguments {
  std::map<std::string, std::string, std::less<>> options;  // a flag maps to ""
  std::vector<std::string> positional;

  bool Has(std::string_view name) const { return options.contains(name); }
};

// Options may stand anywhere, as "--name VALUE" or "--name=VALUE"; "--" ends them.
Arguments ParseArguments(const std::vector<std::string>& args, const std::set<std::string>& flags,
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
    std::size_t equals = arg.find('=');
    std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
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

std::uint64_t NumberOption(const Arguments& args, const std::string& name, std::uint64_t fallback,
                           std::uint64_t least, std::uint64_t most) {
  auto found = args.options.find(name);
  if (found == args.options.end()) return fallback;
  const std::string& text = found->second;
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < least ||
      value > most) {
    throw UsageError("--" + name + " takes a whole number from " + std::to_string(least) +
                     " to " + std::to_string(most));
  }
  return value;
}

Endpoint EndpointArgument(const std::string& text) {
  auto endpoint = ParseEndpoint(text);
  if (!endpoint) throw UsageError("not HOST[:PORT] with a port from 1 to 65535: " + text);
  return *endpoint;
}

int Send(const std::vector<std::string>& rest) {
  Arguments args = ParseArguments(rest, {"no-pause"}, {"chunk", "pause-ms", "raw-name"});
  if (args.positional.size() < 2) throw UsageError("send needs HOST[:PORT] and at least one FILE");
  if (args.Has("no-pause") && args.Has("pause-ms")) {
    throw UsageError("--no-pause and --pause-ms exclude each other");
  }
  Endpoint endpoint = EndpointArgument(args.positional.front());
  std::vector<std::string> files(args.positional.begin() + 1, args.positional.end());
  for (const std::string& file : files) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(Utf8Path(file), error)) {
      throw UsageError("not a readable file: " + file);
    }
  }

  SendOptions options;
  options.chunkSize =
      static_cast<std::size_t>(NumberOption(args, "chunk", options.chunkSize, 1, 64 << 20));
  options.pause = std::chrono::milliseconds(
      args.Has("no-pause") ? 0 : NumberOption(args, "pause-ms", 100, 0, 60'000));
  if (args.Has("raw-name")) options.rawName = args.options.at("raw-name");

  asio::io_context io;
  asio::ip::tcp::socket socket = Connect(io, endpoint);
  SendFiles(socket, files, options);
  asio::error_code ignored;
  socket.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  return 0;
}

int Roster(const std::vector<std::string>& rest) {
  Arguments args = ParseArguments(rest, {"raw"}, {"timeout"});
  if (args.positional.size() != 1) throw UsageError("roster needs exactly one HOST[:PORT]");
  Endpoint endpoint = EndpointArgument(args.positional.front());
  auto timeout = std::chrono::seconds(NumberOption(args, "timeout", 30, 1, 24 * 3600));

  std::string message = ReceiveRosterMessage(endpoint, timeout, [&] {
    PrintError("connected to " + ToString(endpoint) + ", waiting for the roster");
  });
  if (args.Has("raw")) {
    WriteBytes(message);
  } else {
    for (const std::string& row : RosterRows(message)) PrintLine(quenmora::text::AnsiToUtf8(row));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = Utf8Arguments(argc, argv);
  try {
    if (args.size() < 2) throw UsageError("no command given");
    std::vector<std::string> rest(args.begin() + 2, args.end());
    if (args[1] == "send") return Send(rest);
    if (args[1] == "roster") return Roster(rest);
    throw UsageError("unknown command " + args[1]);
  } catch (const UsageError& error) {
    PrintError(std::string("quenmora-phone: ") + error.what());
    PrintError(kUsage);
    return 2;
  } catch (const ToolError& error) {
    PrintError(std::string("quenmora-phone: ") + error.what());
    return 1;
  }
}
