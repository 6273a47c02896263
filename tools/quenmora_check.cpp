// quenmora-check ROSTER-FILE DIRECTORY: the roster check without windows. Checks the photos of
// the receive directory DIRECTORY against the roster and prints the report. The roster file holds
// the roster box's rows: UTF-8, or code page 936 (GBK) when it is not valid UTF-8, as a
// spreadsheet saved as text on a Chinese Windows is; or UTF-16 with its byte order mark (a
// spreadsheet's "Unicode text"). Exits 0 when every student has a photo, 1 when any lacks one,
// 2 on a command line it cannot use or a roster or directory it cannot read.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "roster/roster_check.h"
#include "text/codepage.h"
#include "tools/arguments.h"
#include "tools/tool_console.h"
#include "tools/utf8_path.h"

namespace {

using quenmora::tools::PrintError;
using quenmora::tools::UsageError;

const std::string kUsage =
    "usage: quenmora-check ROSTER-FILE DIRECTORY\n"
    "       quenmora-check --version";

// A roster or directory that cannot be read: the tool says which and exits with status 2.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Options {
  std::string rosterFile;  // UTF-8
  std::string directory;   // UTF-8
};

Options ParseOptions(const std::vector<std::string>& commandLine) {
  const quenmora::tools::Arguments parsed = quenmora::tools::ParseArguments(
      std::span(commandLine).subspan(commandLine.empty() ? 0 : 1), {}, {});
  if (parsed.positional.size() != 2) throw UsageError("give the roster file and the receive directory");
  return {parsed.positional[0], parsed.positional[1]};
}

// The file's text in code page 936, as the roster box holds it.
std::string RosterText(std::string bytes) {
  using namespace quenmora::text;
  if (bytes.starts_with("\xFF\xFE")) {
    std::u16string wide;
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
      wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                           static_cast<unsigned char>(bytes[at + 1]) << 8));
    }
    return Utf16ToGbkWithoutLookAlikes(wide);
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  const std::u16string wide = MultiByteToUtf16(bytes, kCodePageUtf8);
  if (Utf16ToMultiByte(wide, kCodePageUtf8) != bytes) return bytes;  // not UTF-8: GBK already
  // As the window's roster box does: a character code page 936 lacks is "?", as in a file's name.
  return Utf16ToGbkWithoutLookAlikes(wide);
}

std::string ReadRoster(const std::string& utf8Path) {
  const std::filesystem::path path = quenmora::tools::Utf8Path(utf8Path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw InputError("cannot read " + utf8Path);
  std::ifstream file(path, std::ios::binary);
  if (!file) throw InputError("cannot read " + utf8Path);
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) throw InputError("reading " + utf8Path + " failed");
  return bytes;
}

int Check(const Options& options) {
  const std::string roster = RosterText(ReadRoster(options.rosterFile));
  const std::filesystem::path directory = quenmora::tools::Utf8Path(options.directory);
  std::error_code error;
  if (!std::filesystem::is_directory(directory, error)) throw InputError("not a directory: " + options.directory);
  const std::optional<quenmora::roster::RosterReport> report = quenmora::roster::CheckRosterPhotos(roster, directory);
  if (!report) throw InputError("cannot list " + options.directory);
  const std::string_view text = report->text;
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t end = text.find("\r\n", begin);
    quenmora::tools::PrintLine(quenmora::text::AnsiToUtf8(text.substr(begin, end - begin)));
    begin = end == std::string_view::npos ? text.size() : end + 2;
  }
  return report->Missing() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> commandLine = quenmora::tools::Utf8Arguments(argc, argv);
  if (quenmora::tools::AsksForVersion(commandLine)) {
    quenmora::tools::PrintLine(quenmora::tools::VersionLine("quenmora-check"));
    return 0;
  }
  try {
    return Check(ParseOptions(commandLine));
  } catch (const UsageError& error) {
    PrintError(std::string("quenmora-check: ") + error.what());
    PrintError(kUsage);
  } catch (const InputError& error) {
    PrintError(std::string("quenmora-check: ") + error.what());
  }
  return 2;
}
