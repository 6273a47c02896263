#pragma once
// The whole phone link as the program uses it: the server, photo reception, the roster push
// and `currentClient`. Lives on the UI thread; the server's events arrive there.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/reception/photo_receiver.h"
#include "link/reception/ui_executor.h"

namespace quenmora::link {

// The most connections the link keeps. One more makes room by closing the oldest connection that
// has no file open, or, when every other one is receiving a file, is itself closed; either way
// with a notice. Phones that dropped off the Wi-Fi leave connections that only keep-alive ends,
// and they must not lock a new phone out.
inline constexpr std::size_t kLinkConnectionLimit = 64;

// How long a program that is closing waits for the disk to write what it was given, after which
// it ends all the same and says which files were not written: a stick or a share that hangs must
// not keep the process for ever.
inline constexpr std::chrono::seconds kLastWritesBound{30};

// The roster box's text as the front end read it.
struct RosterText {
  std::string text;             // code page 936
  bool charactersReplaced = false;  // characters code page 936 lacks became "?"
};

// What pressing the send button came to. Only `kSent` put anything on the wire.
struct RosterPushOutcome {
  enum class Result { kSent, kRefusedRosterEmpty, kRefusedNoPhoneConnected };
  Result result;
  bool charactersReplaced;  // in the roster that was read, whatever the result
  friend bool operator==(const RosterPushOutcome&, const RosterPushOutcome&) = default;
};

struct PhoneLinkHooks {
  ReceptionHooks reception;  // its notice hook also carries the link's own notices
  // Read when the roster is sent; only a program that sends it sets these two.
  std::function<RosterText()> rosterText;
  // A roster that went out could not be delivered: the phone had gone before the link knew.
  std::function<void()> rosterSendFailed;
  // The clock of the lines that phones connected or left; when empty, the server's own.
  UiTimer after;
};

class PhoneLink {
 public:
  PhoneLink(UiExecutor ui, PhoneLinkHooks hooks);
  // Shuts down, handling nothing that is still queued for the UI thread, and waits for the disk
  // to do everything it was given.
  ~PhoneLink();
  PhoneLink(const PhoneLink&) = delete;
  PhoneLink& operator=(const PhoneLink&) = delete;

  // Starts listening; on failure the notice hook says so. Returns whether it listens.
  bool Start(std::uint16_t port);
  std::uint16_t port() const;
  // The send button: the roster checks, then the message to `currentClient`. Once it has gone out
  // whole, a notice says so with its number of rows; a send that fails later is reported through
  // `rosterSendFailed`.
  RosterPushOutcome SendRoster();
  const std::string& currentClient() const;
  std::int32_t receivedCount() const;
  // Stops the network at once: the phones see their connections closed, and nothing more arrives.
  // The chunks already queued for the UI thread are still handled when it runs them, and after
  // them the reception finishes every connection, so a front end that runs its pending UI tasks
  // after this loses nothing; WaitUntilWritten then waits for the disk.
  void Shutdown();
  // Waits `bound` at most for the disk to write and close every file it has been given; the paths
  // (code page 936) of those it had not done with by then, none when all is written.
  std::vector<std::string> WaitUntilWritten(std::chrono::milliseconds bound);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quenmora::link
