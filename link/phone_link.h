#pragma once
// The whole phone link as the program uses it: the server, photo reception, the roster push
// and `currentClient`. Lives on the UI thread; the server's events arrive there.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/photo_receiver.h"
#include "link/ui_executor.h"

namespace quenmora::link {

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
  ~PhoneLink();
  PhoneLink(const PhoneLink&) = delete;
  PhoneLink& operator=(const PhoneLink&) = delete;

  // Starts listening; on failure the notice hook says so. Returns whether it listens.
  bool Start(std::uint16_t port);
  std::uint16_t port() const;
  // The send button: the roster checks, then the message to `currentClient`.
  void SendRoster();
  const std::string& currentClient() const;
  std::int32_t receivedCount() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quenmora::link
