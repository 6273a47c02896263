#include "link/server/phone_link.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "link/reception/notices.h"
#include "link/server/phone_presence.h"
#include "link/server/phone_server.h"
#include "link/server/roster_message.h"

namespace quenmora::link {

class PhoneLink::Impl {
 public:
  Impl(UiExecutor ui, PhoneLinkHooks hooks)
      : ui_(ui),
        hooks_(std::move(hooks)),
        receiver_(hooks_.reception, ui),
        presence_(
            hooks_.after ? hooks_.after
                         : [this](std::chrono::milliseconds delay, UiTask task) { server_.After(delay, std::move(task)); },
            [this](const std::string& line) { Notice(line); }),
        server_(std::move(ui),
                ServerEvents{
                    .clientConnected = [this](const Client& client) { Connected(client); },
                    .dataArrived =
                        [this](const Client& client, std::span<const std::uint8_t> chunk,
                               const std::shared_ptr<const void>& keep) {
                          // A connection the link has closed has been told so: what it still
                          // sent would only make a partial photo.
                          if (!IsLive(client.id)) return false;
                          if (receiver_.HandleChunk(client, chunk, keep)) return true;
                          Leave(client.id, false);  // the receiver's line has said why
                          return false;
                        },
                    .clientGone = [this](const Client& client) { Gone(client); },
                    .sendFinished =
                        [this](const Client& client, bool ok) { RosterSent(client.id, ok); },
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
    rostersOnTheWay_.push_back({currentClient_->id, RosterSentNotice(currentClient_->host(), roster.text)});
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

  std::vector<std::string> WaitUntilWritten(std::chrono::milliseconds bound) {
    return receiver_.WaitUntilWritten(bound);
  }

 private:
  void Connected(const Client& client) {
    if (liveClients_.size() >= kLinkConnectionLimit) {
      const auto idle = std::ranges::find_if(
          liveClients_, [this](const Client& live) { return !receiver_.IsReceivingFile(live.id); });
      if (idle == liveClients_.end()) {
        // Never live for the link: its data is refused, and it never counts as a phone that came.
        Notice(std::string(kNewConnectionRefused) + client.address);
        server_.Disconnect(client.id);
        return;
      }
      Notice(std::string(kIdleConnectionClosed) + idle->address);
      server_.Disconnect(idle->id);
      Leave(idle->id, false);
    }
    liveClients_.push_back(client);
    presence_.Arrived(client.host());
    currentClient_ = client;
  }

  void Gone(const Client& client) {
    receiver_.ClientGone(client.id);
    Leave(client.id, true);
  }

  // The connection is no longer live for the link; `announce` is false when the link closed it,
  // with a line of its own. Nothing when it was not live.
  void Leave(ConnectionId id, bool announce) {
    const auto live = std::ranges::find(liveClients_, id, &Client::id);
    if (live == liveClients_.end()) return;
    presence_.Left(live->host(), announce);
    liveClients_.erase(live);
  }

  void RosterSent(ConnectionId id, bool ok) {
    const auto sent = std::ranges::find(rostersOnTheWay_, id, &RosterOnTheWay::connection);
    if (sent == rostersOnTheWay_.end()) return;
    if (ok) {
      Notice(sent->notice);
    } else if (hooks_.rosterSendFailed) {
      hooks_.rosterSendFailed();
    }
    rostersOnTheWay_.erase(sent);
  }

  bool IsLive(ConnectionId id) const { return std::ranges::find(liveClients_, id, &Client::id) != liveClients_.end(); }

  void Notice(const std::string& line) const {
    if (hooks_.reception.notice) hooks_.reception.notice(line);
  }

  UiExecutor ui_;
  PhoneLinkHooks hooks_;
  std::optional<Client> currentClient_;  // the most recent connection, kept after it closes
  std::vector<Client> liveClients_;      // oldest first
  // Rosters handed to the server, in the order sent, with the line that tells each went out.
  struct RosterOnTheWay {
    ConnectionId connection;
    std::string notice;
  };
  std::deque<RosterOnTheWay> rostersOnTheWay_;
  PhotoReceiver receiver_;
  PhonePresence presence_;
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
std::vector<std::string> PhoneLink::WaitUntilWritten(std::chrono::milliseconds bound) {
  return impl_->WaitUntilWritten(bound);
}

}  // namespace quenmora::link
