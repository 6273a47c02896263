#include "link/phone_link.h"

#include <algorithm>
#include <iterator>
#include <set>
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
                    .clientConnected = [this](const std::string& client) { Connected(client); },
                    .dataArrived =
                        [this](const std::string& client, std::span<const std::uint8_t> chunk) {
                          // A connection the link is closing has been told so: what it still
                          // sent would only make a partial photo.
                          if (closing_.contains(client)) return false;
                          return receiver_.HandleChunk(client, chunk);
                        },
                    .clientGone = [this](const std::string& client) { Gone(client); },
                    .sendFinished =
                        [this](const std::string&, bool ok) {
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
    if (currentClient_.empty() || std::ranges::find(liveClients_, currentClient_) == liveClients_.end()) {
      return outcome(kRefusedNoPhoneConnected);
    }
    server_.Send(currentClient_, BuildRosterMessage(roster.text));
    return outcome(kSent);
  }

  const std::string& currentClient() const { return currentClient_; }
  std::int32_t receivedCount() const { return receiver_.receivedCount(); }

  void Shutdown() {
    server_.StopNetwork();
    // Queued behind the chunks that are already waiting, so they are handled first.
    ui_(lifetime_.Guard([this] { receiver_.Finish(); }));
  }

 private:
  void Connected(const std::string& client) {
    liveClients_.push_back(client);
    if (liveClients_.size() > kLinkConnectionLimit) {
      const auto newest = std::prev(liveClients_.end());
      const auto idle = std::find_if(liveClients_.begin(), newest, [this](const std::string& live) {
        return !receiver_.IsReceivingFile(live);
      });
      if (idle == newest) return Close(newest, kNewConnectionRefused);
      Close(idle, kIdleConnectionClosed);
    }
    currentClient_ = client;
  }

  void Close(std::vector<std::string>::iterator live, std::string_view notice) {
    Notice(std::string(notice) + *live);
    server_.Disconnect(*live);
    closing_.insert(std::move(*live));
    liveClients_.erase(live);
  }

  void Gone(const std::string& client) {
    receiver_.ClientGone(client);
    if (const auto it = closing_.find(client); it != closing_.end()) {
      closing_.erase(it);
    } else if (const auto live = std::ranges::find(liveClients_, client); live != liveClients_.end()) {
      liveClients_.erase(live);
    }
  }

  void Notice(const std::string& line) const {
    if (hooks_.reception.notice) hooks_.reception.notice(line);
  }

  UiExecutor ui_;
  PhoneLinkHooks hooks_;
  std::string currentClient_;  // the most recent connection, kept after it closes
  // Live connections, oldest first. An address can briefly name two connections (an old one
  // closing, a new one from the same port), so it may appear twice.
  std::vector<std::string> liveClients_;
  // Connections the link has closed whose clientGone is still to come.
  std::multiset<std::string> closing_;
  PhotoReceiver receiver_;
  OwnerLifetime lifetime_;     // for the task Shutdown queues
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
