// quenmora-phone: plays the phone's part on the desktop's port, for tests and benchmarks.
//   send HOST[:PORT] FILE...   sends photos the way the phone app does
//   roster HOST[:PORT]         waits for the roster the desktop sends and prints its rows
#include <chrono>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include <asio/io_context.hpp>

#include "link/wire/wire_format.h"
#include "text/codepage.h"
#include "tools/arguments.h"
#include "tools/phone_endpoint.h"
#include "tools/phone_roster.h"
#include "tools/phone_sender.h"
#include "tools/tool_console.h"
#include "tools/utf8_path.h"

namespace {

using namespace quenmora::tools;

const std::string kUsage =
    "usage: quenmora-phone send [--chunk BYTES] [--pause-ms MS | --no-pause] [--raw-name TEXT]"
    " HOST[:PORT] FILE...\n"
    "       quenmora-phone roster [--raw] [--timeout SECONDS] HOST[:PORT]\n"
    "       quenmora-phone --version\n"
    "PORT defaults to " + std::to_string(quenmora::link::kPhonePort) + ".";

Endpoint EndpointArgument(const std::string& text) {
  auto endpoint = ParseEndpoint(text);
  if (!endpoint) throw UsageError("not HOST[:PORT] with a port from 1 to 65535: " + text);
  return *endpoint;
}

int Send(std::span<const std::string> rest) {
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
      static_cast<std::size_t>(args.Number("chunk", options.chunkSize, 1, 64 << 20));
  options.pause =
      std::chrono::milliseconds(args.Has("no-pause") ? 0 : args.Number("pause-ms", 100, 0, 60'000));
  if (args.Has("raw-name")) options.rawName = args.options.at("raw-name");

  asio::io_context io;
  asio::ip::tcp::socket socket = Connect(io, endpoint);
  SendFiles(socket, files, options);
  asio::error_code ignored;
  socket.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  return 0;
}

int Roster(std::span<const std::string> rest) {
  Arguments args = ParseArguments(rest, {"raw"}, {"timeout"});
  if (args.positional.size() != 1) throw UsageError("roster needs exactly one HOST[:PORT]");
  Endpoint endpoint = EndpointArgument(args.positional.front());
  auto timeout = std::chrono::seconds(args.Number("timeout", 30, 1, 24 * 3600));

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
  if (AsksForVersion(args)) {
    PrintLine(VersionLine("quenmora-phone"));
    return 0;
  }
  try {
    if (args.size() < 2) throw UsageError("no command given");
    const std::span<const std::string> rest = std::span(args).subspan(2);
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
