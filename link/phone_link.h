#pragma once
// The whole phone link as the program uses it: the server, photo reception, the roster push
// and `currentClient`. Lives on the UI thread; the server's events arrive there.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/photo_receiver.h"
#include "link/ui_executor.h"

namespace quenmora::link {

// The most connections the link keeps. One more makes room by closing the oldest connection that
// has no file open, or, when every other one is receiving a file, is itself closed; either way
// with a notice. Phones that dropped off the Wi-Fi leave connections that only keep-alive ends,
// and they must not lock a new phone out.
inline constexpr std::size_t kLinkConnectionLimit = 64;

struct PhoneLinkHooks {
  ReceptionHooks reception;  // its notice hook also carries the link's own notices
  // The roster box's text (code page 936).
  std::function<std::string()> rosterText;
  // A modal message box with an OK button (code page 936).
  std::function<void(const std::string& text)> messageBox;
};

class PhoneLink {
 public:
  PhoneLink(UiExecutor ui, PhoneLinkHooks hooks);
  ~PhoneLink();  // shuts down, handling nothing that is still queued for the UI thread
  PhoneLink(const PhoneLink&) = delete;
  PhoneLink& operator=(const PhoneLink&) = delete;

  // Starts listening; on failure the notice hook says so. Returns whether it listens.
  bool Start(std::uint16_t port);
  std::uint16_t port() const;
  // The send button: the roster checks, then the message to `currentClient`.
  void SendRoster();
  const std::string& currentClient() const;
  std::int32_t receivedCount() const;
  // Stops the network at once: nothing more arrives. The chunks already queued for the UI thread
  // are still handled when it runs them, and after them the reception finishes every connection,
  // so a front end that runs its pending UI tasks after this loses nothing.
  void Shutdown();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quenmora::link
