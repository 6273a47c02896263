// quenmora-receive [--port N] DIR: the desktop's phone link without windows. Receives photos
// into DIR and prints the machine's addresses, one line per file start and every notice.
// Port 0 listens on a free port, which the "listening on port" line names.
#include <charconv>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>

#include "app/platform.h"
#include "app/texts.h"
#include "link/phone_link.h"
#include "link/phone_server.h"
#include "text/codepage.h"
#include "tools/tool_console.h"
#include "tools/utf8_path.h"

namespace {

using quenmora::text::AnsiToUtf8;
using quenmora::tools::PrintError;
using quenmora::tools::PrintLine;

constexpr std::string_view kUsage = "usage: quenmora-receive [--port N] DIR   (N defaults to 3456)";

struct Options {
  std::uint16_t port = quenmora::link::kPhonePort;
  std::string directory;  // UTF-8
};

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

// Empty (after saying why) if the command line is not [--port N] DIR.
std::optional<Options> ParseOptions(const std::vector<std::string>& args) {
  Options options;
  std::vector<std::string> positional;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::optional<std::string_view> portText;
    if (arg == "--port" && i + 1 < args.size()) {
      portText = args[++i];
    } else if (arg.starts_with("--port=")) {
      portText = arg.substr(7);
    } else if (arg.starts_with("--")) {
      PrintError("quenmora-receive: unknown option or missing value: " + std::string(arg));
      return std::nullopt;
    } else {
      positional.emplace_back(arg);
    }
    if (portText) {
      auto port = ParsePort(*portText);
      if (!port) {
        PrintError("quenmora-receive: not a port from 0 to 65535: " + std::string(*portText));
        return std::nullopt;
      }
      options.port = *port;
    }
  }
  if (positional.size() != 1) {
    PrintError("quenmora-receive: give exactly one receive directory");
    return std::nullopt;
  }
  options.directory = positional.front();
  std::error_code error;
  if (!std::filesystem::is_directory(quenmora::tools::Utf8Path(options.directory), error)) {
    PrintError("quenmora-receive: not a directory: " + options.directory);
    return std::nullopt;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  auto options = ParseOptions(quenmora::tools::Utf8Arguments(argc, argv));
  if (!options) {
    PrintError(kUsage);
    return 2;
  }

  // The link takes the receive directory as code-page-936 text, as the window's box holds it,
  // and turns it back into the native name when it opens a file. A directory whose name has
  // characters that code page 936 lacks therefore cannot be used (they become "?").
  const std::string directory = quenmora::text::Utf8ToAnsi(options->directory);

  // The main thread only waits for Ctrl-C, caught from the start so that a stop during start-up
  // also ends cleanly.
  asio::io_context signals;
  asio::signal_set stopSignals(signals, SIGINT, SIGTERM);
  stopSignals.async_wait([&signals](const asio::error_code&, int) { signals.stop(); });
  // With no window to keep responsive, the link's events run at once on its network thread, in
  // order: handing every chunk to another thread would halve the throughput.
  quenmora::link::UiExecutor executor = [](quenmora::link::UiTask task) { task(); };
  std::int32_t fileStarts = 0;  // written on the network thread, read once it has ended
  quenmora::link::PhoneLinkHooks hooks;
  hooks.reception.receiveDirectory = [directory] { return directory; };
  hooks.reception.fileStarted = [&fileStarts](std::int32_t count, const std::string& name) {
    fileStarts = count;
    PrintLine("#" + std::to_string(count) + " " + AnsiToUtf8(name));
  };
  hooks.reception.notice = [](const std::string& line) { PrintLine(AnsiToUtf8(line)); };
  hooks.rosterText = [] { return std::string(); };
  hooks.messageBox = [](const std::string& text) { PrintLine(AnsiToUtf8(text)); };

  for (const std::string& address : quenmora::app::LocalIpv4Addresses()) {
    PrintLine(AnsiToUtf8(quenmora::app::kLocalIp) + address);
  }

  {
    quenmora::link::PhoneLink link(executor, hooks);
    if (!link.Start(options->port)) {
      PrintError("quenmora-receive: cannot listen on port " + std::to_string(options->port));
      return 1;
    }
    PrintLine("listening on port " + std::to_string(link.port()) + ", receiving into " +
              options->directory);
    signals.run();
  }  // the network thread has ended here
  PrintLine("stopped after " + std::to_string(fileStarts) + " file start(s)");
  return 0;
}
