#include "link/phone_link.h"

#include <set>
#include <utility>

#include "link/notices.h"
#include "link/phone_server.h"
#include "link/roster_message.h"

namespace quenmora::link {

class PhoneLink::Impl {
 public:
  Impl(UiExecutor ui, PhoneLinkHooks hooks)
      : hooks_(std::move(hooks)),
        receiver_(hooks_.reception),
        server_(std::move(ui),
                ServerEvents{
                    .clientConnected = [this](const std::string& client) { Connected(client); },
                    .dataArrived =
                        [this](const std::string& client, std::span<const std::uint8_t> chunk) {
                          receiver_.HandleChunk(client, chunk);
                        },
                    .clientGone = [this](const std::string& client) { Gone(client); },
                    .sendFinished =
                        [this](const std::string&, bool ok) {
                          if (!ok) Show(kPhoneNotConnected);
                        },
                }) {}

  bool Start(std::uint16_t port) {
    const bool listening = server_.Start(port);
    if (!listening && hooks_.reception.notice) hooks_.reception.notice(ListenFailedNotice(port));
    return listening;
  }

  std::uint16_t port() const { return server_.port(); }

  void SendRoster() {
    const std::string roster = hooks_.rosterText();
    if (roster.empty()) return Show(kRosterEmpty);
    // A phone that has gone would make the send fail silently; say so instead.
    if (currentClient_.empty() || !liveClients_.contains(currentClient_)) {
      return Show(kPhoneNotConnected);
    }
    server_.Send(currentClient_, BuildRosterMessage(roster));
  }

  const std::string& currentClient() const { return currentClient_; }
  std::int32_t receivedCount() const { return receiver_.receivedCount(); }

 private:
  void Connected(const std::string& client) {
    currentClient_ = client;
    liveClients_.insert(client);
  }

  void Gone(const std::string& client) {
    receiver_.ClientGone(client);
    if (const auto it = liveClients_.find(client); it != liveClients_.end()) liveClients_.erase(it);
  }

  void Show(std::string_view text) { hooks_.messageBox(std::string(text)); }

  PhoneLinkHooks hooks_;
  std::string currentClient_;  // the most recent connection, kept after it closes
  // An address can briefly name two connections (an old one closing, a new one from the same
  // port), hence a multiset.
  std::multiset<std::string> liveClients_;
  PhotoReceiver receiver_;
  PhoneServer server_;  // declared last: destroyed first, so no event reaches a half-gone link
};

PhoneLink::PhoneLink(UiExecutor ui, PhoneLinkHooks hooks)
    : impl_(std::make_unique<Impl>(std::move(ui), std::move(hooks))) {}

PhoneLink::~PhoneLink() = default;

bool PhoneLink::Start(std::uint16_t port) { return impl_->Start(port); }
std::uint16_t PhoneLink::port() const { return impl_->port(); }
void PhoneLink::SendRoster() { impl_->SendRoster(); }
const std::string& PhoneLink::currentClient() const { return impl_->currentClient(); }
std::int32_t PhoneLink::receivedCount() const { return impl_->receivedCount(); }

}  // namespace quenmora::link
