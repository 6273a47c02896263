// quenmora-receive [--port N] DIR: the desktop's phone link without windows. Receives photos
// into DIR and prints the machine's addresses, one line per file start and every notice.
// Port 0 listens on a free port, which the "listening on port" line names.
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/post.hpp>
#include <asio/signal_set.hpp>

#include "app/address_lines.h"
#include "app/platform/host_addresses.h"
#include "link/server/phone_link.h"
#include "link/server/phone_server.h"
#include "text/codepage.h"
#include "tools/arguments.h"
#include "tools/tool_console.h"
#include "tools/utf8_path.h"

namespace {

using quenmora::text::AnsiToUtf8;
using quenmora::tools::PrintError;
using quenmora::tools::PrintLine;
using quenmora::tools::UsageError;

const std::string kUsage = "usage: quenmora-receive [--port N] DIR   (N defaults to " +
                          std::to_string(quenmora::link::kPhonePort) + ")\n"
                          "       quenmora-receive --version";

struct Options {
  std::uint16_t port = quenmora::link::kPhonePort;
  std::string directory;  // UTF-8
};

// Throws UsageError if the command line, program name first, is not [--port N] DIR.
Options ParseOptions(const std::vector<std::string>& commandLine) {
  const quenmora::tools::Arguments parsed = quenmora::tools::ParseArguments(
      std::span(commandLine).subspan(commandLine.empty() ? 0 : 1), {}, {"port"});
  Options options;
  options.port = static_cast<std::uint16_t>(parsed.Number("port", options.port, 0, 65535));
  if (parsed.positional.size() != 1) throw UsageError("give exactly one receive directory");
  options.directory = parsed.positional.front();
  std::error_code error;
  if (!std::filesystem::is_directory(quenmora::tools::Utf8Path(options.directory), error)) {
    throw UsageError("not a directory: " + options.directory);
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> commandLine = quenmora::tools::Utf8Arguments(argc, argv);
  if (quenmora::tools::AsksForVersion(commandLine)) {
    PrintLine(quenmora::tools::VersionLine("quenmora-receive"));
    return 0;
  }
  Options options;
  try {
    options = ParseOptions(commandLine);
  } catch (const UsageError& error) {
    PrintError(std::string("quenmora-receive: ") + error.what());
    PrintError(kUsage);
    return 2;
  }

  // The link takes the receive directory as code-page-936 text, as the window's box holds it,
  // and turns it back into the native name when it opens a file. A directory whose name has
  // characters that code page 936 lacks therefore cannot be used (they become "?").
  const std::string directory = quenmora::text::Utf8ToAnsi(options.directory);

  // The main thread is the link's UI thread: it runs the link's events, the disk thread's reports
  // among them, one at a time, until Ctrl-C, caught from the start so that a stop during start-up
  // also ends cleanly.
  asio::io_context ui;
  asio::signal_set stopSignals(ui, SIGINT, SIGTERM);
  stopSignals.async_wait([&ui](const asio::error_code&, int) { ui.stop(); });
  quenmora::link::UiExecutor executor = [&ui](quenmora::link::UiTask task) { asio::post(ui, std::move(task)); };
  std::int32_t fileStarts = 0;
  quenmora::link::PhoneLinkHooks hooks;
  hooks.reception.receiveDirectory = [directory] { return directory; };
  hooks.reception.fileStarted = [&fileStarts](std::int32_t count, const std::string& name) {
    fileStarts = count;
    PrintLine("#" + std::to_string(count) + " " + AnsiToUtf8(name));
  };
  hooks.reception.notice = [](const std::string& line) { PrintLine(AnsiToUtf8(line)); };

  for (const std::string& line : quenmora::app::AddressLines(quenmora::app::HostAdapters())) {
    PrintLine(AnsiToUtf8(line));
  }

  {
    quenmora::link::PhoneLink link(executor, hooks);
    if (!link.Start(options.port)) {
      PrintError("quenmora-receive: cannot listen on port " + std::to_string(options.port));
      return 1;
    }
    PrintLine("listening on port " + std::to_string(link.port()) + ", receiving into " +
              options.directory);
    ui.run();
    // What was read before the stop is still handled and written, then every file is closed.
    link.Shutdown();
    ui.restart();
    ui.run();
    const std::vector<std::string> unwritten = link.WaitUntilWritten(quenmora::link::kLastWritesBound);
    for (const std::string& path : unwritten) {
      PrintError("quenmora-receive: not written within " + std::to_string(quenmora::link::kLastWritesBound.count()) +
                 " s: " + AnsiToUtf8(path));
    }
    // The disk thread still waits on a file and would hold the program.
    if (!unwritten.empty()) std::_Exit(1);
  }  // the network and disk threads have ended here
  PrintLine("stopped after " + std::to_string(fileStarts) + " file start(s)");
  return 0;
}
