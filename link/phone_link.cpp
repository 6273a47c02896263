#include "link/phone_link.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "link/notices.h"
#include "link/phone_server.h"
#include "link/roster_message.h"

namespace quenmora::link {

class PhoneLink::Impl {
 public:
  Impl(UiExecutor ui, PhoneLinkHooks hooks)
      : ui_(ui),
        hooks_(std::move(hooks)),
        receiver_(hooks_.reception),
        server_(std::move(ui),
                ServerEvents{
                    .clientConnected = [this](const Client& client) { Connected(client); },
                    .dataArrived =
                        [this](const Client& client, std::span<const std::uint8_t> chunk) {
                          // A connection the link has closed has been told so: what it still
                          // sent would only make a partial photo.
                          if (!IsLive(client.id)) return false;
                          return receiver_.HandleChunk(client, chunk);
                        },
                    .clientGone = [this](const Client& client) { Gone(client); },
                    .sendFinished =
                        [this](const Client&, bool ok) {
                          if (!ok && hooks_.rosterSendFailed) hooks_.rosterSendFailed();
                        },
                }) {}

  ~Impl() {
    server_.StopNetwork();
    receiver_.Finish();
  }

  bool Start(std::uint16_t port) {
    const bool listening = server_.Start(port);
    if (!listening) Notice(ListenFailedNotice(port));
    return listening;
  }

  std::uint16_t port() const { return server_.port(); }

  RosterPushOutcome SendRoster() {
    using enum RosterPushOutcome::Result;
    const RosterText roster = hooks_.rosterText();
    const auto outcome = [&](RosterPushOutcome::Result result) {
      return RosterPushOutcome{.result = result, .charactersReplaced = roster.charactersReplaced};
    };
    if (roster.text.empty()) return outcome(kRefusedRosterEmpty);
    // A phone that has gone would make the send fail silently; refuse instead.
    if (!currentClient_ || !IsLive(currentClient_->id)) return outcome(kRefusedNoPhoneConnected);
    server_.Send(currentClient_->id, BuildRosterMessage(roster.text));
    return outcome(kSent);
  }

  const std::string& currentClient() const {
    static const std::string none;
    return currentClient_ ? currentClient_->address : none;
  }
  std::int32_t receivedCount() const { return receiver_.receivedCount(); }

  void Shutdown() {
    server_.StopNetwork();
    // Queued behind the chunks that are already waiting, so they are handled first.
    ui_(lifetime_.Guard([this] { receiver_.Finish(); }));
  }

 private:
  void Connected(const Client& client) {
    liveClients_.push_back(client);
    if (liveClients_.size() > kLinkConnectionLimit) {
      const auto newest = std::prev(liveClients_.end());
      const auto idle = std::find_if(liveClients_.begin(), newest, [this](const Client& live) {
        return !receiver_.IsReceivingFile(live.id);
      });
      if (idle == newest) return Close(newest, kNewConnectionRefused);
      Close(idle, kIdleConnectionClosed);
    }
    currentClient_ = client;
  }

  // The connection is no longer live for the link from now on; the server's clientGone follows.
  void Close(std::vector<Client>::iterator live, std::string_view notice) {
    Notice(std::string(notice) + live->address);
    server_.Disconnect(live->id);
    liveClients_.erase(live);
  }

  void Gone(const Client& client) {
    receiver_.ClientGone(client.id);
    std::erase_if(liveClients_, [&](const Client& live) { return live.id == client.id; });
  }

  bool IsLive(ConnectionId id) const {
    return std::ranges::any_of(liveClients_, [id](const Client& live) { return live.id == id; });
  }

  void Notice(const std::string& line) const {
    if (hooks_.reception.notice) hooks_.reception.notice(line);
  }

  UiExecutor ui_;
  PhoneLinkHooks hooks_;
  std::optional<Client> currentClient_;  // the most recent connection, kept after it closes
  std::vector<Client> liveClients_;      // oldest first
  PhotoReceiver receiver_;
  OwnerLifetime lifetime_;  // for the task Shutdown queues
  PhoneServer server_;  // declared last: destroyed first, so no event reaches a half-gone link
};

PhoneLink::PhoneLink(UiExecutor ui, PhoneLinkHooks hooks)
    : impl_(std::make_unique<Impl>(std::move(ui), std::move(hooks))) {}

PhoneLink::~PhoneLink() = default;

bool PhoneLink::Start(std::uint16_t port) { return impl_->Start(port); }
std::uint16_t PhoneLink::port() const { return impl_->port(); }
RosterPushOutcome PhoneLink::SendRoster() { return impl_->SendRoster(); }
const std::string& PhoneLink::currentClient() const { return impl_->currentClient(); }
std::int32_t PhoneLink::receivedCount() const { return impl_->receivedCount(); }
void PhoneLink::Shutdown() { impl_->Shutdown(); }

}  // namespace quenmora::link
