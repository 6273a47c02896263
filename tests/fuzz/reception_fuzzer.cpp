// Reception on any chunks from several connections, some of which close on the way: every file it
// writes stays inside the receive directory, is a regular file under a name a file start gave,
// holds no more bytes than were received, and is closed once reception ends; the count goes up
// by one with each file start.
//
// The input is a sequence of events, each beginning with a selector byte whose low two bits pick
// one of four connections and whose upper six bits, as a number n, say what happens:
//   n = 63: the connection closes;
//   n = 62: a chunk whose length follows in two bytes, low byte first;
//   n < 62: a chunk of n bytes.
// The chunk's bytes follow; the last one is cut short where the input ends. Reception then
// finishes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include <system_error>

#include <stdlib.h>

#include "fuzz_check.h"
#include "link/reception/photo_receiver.h"
#include "text/codepage.h"

namespace {

namespace fs = std::filesystem;
using quenmora::fuzz::Require;

constexpr std::string_view kClients[] = {"127.0.0.1:50001", "127.0.0.1:50002", "192.168.1.7:41000",
                                         "[::1]:50003"};
constexpr unsigned kClientGone = 63;
constexpr unsigned kLongChunk = 62;

// A fresh parent directory holding only the receive directory, made once per process; a name that
// climbs out of the receive directory lands in the parent, where it is seen. The receive
// directory's name is Chinese, so its code page 936 text must be converted to reach it.
struct Directories {
  fs::path parent;
  fs::path receive;
  std::string receiveText;  // code page 936, as the window holds it

  Directories() {
    std::string pattern = (fs::temp_directory_path() / "quenmora-reception-fuzz-XXXXXX").string();
    Require(::mkdtemp(pattern.data()) != nullptr, "a temporary directory can be made");
    parent = pattern;
    receive = parent / fs::path(u8"收到的照片");
    fs::create_directory(receive);
    receiveText = quenmora::text::Utf16ToMultiByte(receive.u16string(), quenmora::text::kCodePageGbk);
  }
  ~Directories() {
    std::error_code ignored;
    fs::remove_all(parent, ignored);
  }
};

std::size_t OpenDescriptors() {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

std::string Shown(const fs::path& relative) {
  return quenmora::text::Utf16ToMultiByte(relative.u16string(), quenmora::text::kCodePageGbk);
}

// Where a file start's name puts its file on Linux, inside the receive directory with "\" read as
// "/", as code page 936 shows it. The file itself has the name's own characters, which code page
// 936 may lack: both sides are compared as shown, where those become "?".
std::string ShownFileOf(const std::string& name) {
  std::u16string wide = quenmora::text::MultiByteToUtf16(name, quenmora::text::kCodePageGbk);
  std::replace(wide.begin(), wide.end(), u'\\', u'/');
  return Shown(fs::path(wide).lexically_normal());
}

class Events {
 public:
  explicit Events(std::span<const std::uint8_t> input) : rest_(input) {}
  bool AtEnd() const { return rest_.empty(); }
  std::uint8_t Byte() {
    const std::uint8_t byte = rest_.front();
    rest_ = rest_.subspan(1);
    return byte;
  }
  std::span<const std::uint8_t> Bytes(std::size_t count) {
    const auto taken = rest_.first(std::min(count, rest_.size()));
    rest_ = rest_.subspan(taken.size());
    return taken;
  }
  std::size_t TwoBytes() {
    const auto bytes = Bytes(2);
    return (bytes.size() > 0 ? bytes[0] : 0u) | (bytes.size() > 1 ? std::size_t{bytes[1]} << 8 : 0u);
  }

 private:
  std::span<const std::uint8_t> rest_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Directories directories;
  const std::size_t descriptorsBefore = OpenDescriptors();

  std::int32_t lastCount = 0;
  std::set<std::string> startedFiles;
  std::size_t bytesReceived = 0;
  std::vector<quenmora::link::UiTask> reports;
  {
    quenmora::link::PhotoReceiver receiver(quenmora::link::ReceptionHooks{
        .receiveDirectory = [] { return directories.receiveText; },
        .fileStarted =
            [&](std::int32_t count, const std::string& name) {
              Require(count == lastCount + 1, "each file start counts one more");
              lastCount = count;
              startedFiles.insert(ShownFileOf(name));
            },
        .notice = [](const std::string&) {},
        .files = nullptr,
    }, [&reports](quenmora::link::UiTask task) { reports.push_back(std::move(task)); });
    // The disk thread's reports, run here, where the receiver lives, once the disk has caught up.
    const auto settle = [&] {
      receiver.Drain();
      for (std::size_t i = 0; i < reports.size(); ++i) reports[i]();
      reports.clear();
    };
    Events events(std::span(data, size));
    while (!events.AtEnd()) {
      const std::uint8_t selector = events.Byte();
      const quenmora::link::Client client{.id = selector & 3u, .address = std::string(kClients[selector & 3])};
      const unsigned what = selector >> 2;
      if (what == kClientGone) {
        receiver.ClientGone(client.id);
        settle();
        continue;
      }
      const auto chunk = events.Bytes(what == kLongChunk ? events.TwoBytes() : what);
      bytesReceived += chunk.size();
      receiver.HandleChunk(client, chunk);
      settle();
    }
    receiver.Finish();
    settle();
    Require(receiver.receivedCount() == lastCount, "the count is the number of file starts");
    Require(OpenDescriptors() == descriptorsBefore, "every file is closed once reception finishes");
  }

  for (const fs::directory_entry& entry : fs::directory_iterator(directories.parent)) {
    Require(entry.path() == directories.receive, "nothing is written beside the receive directory");
  }
  std::size_t bytesWritten = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directories.receive)) {
    const fs::file_type type = entry.symlink_status().type();
    Require(type == fs::file_type::regular || type == fs::file_type::directory,
            "the receive directory holds only regular files and directories");
    if (type != fs::file_type::regular) continue;
    Require(startedFiles.contains(Shown(entry.path().lexically_relative(directories.receive))),
            "every file is one a file start named");
    bytesWritten += entry.file_size();
  }
  Require(bytesWritten <= bytesReceived, "the files hold no more bytes than were received");

  for (const fs::directory_entry& entry : fs::directory_iterator(directories.receive)) fs::remove_all(entry.path());
  return 0;
}
