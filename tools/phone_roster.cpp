#include "tools/phone_roster.h"

#include <array>
#include <functional>
#include <optional>

#include <asio/connect.hpp>
#include <asio/io_context.hpp>

#include "link/wire/wire_format.h"

namespace quenmora::tools {

namespace {

using link::kRosterClosing;
using link::kRosterOpening;

// Whether `data` holds a whole message: the opening marker, the rows and the closing marker,
// which the desktop may follow with one zero byte.
bool IsComplete(std::string_view data) {
  if (!data.empty() && data.back() == '\0') data.remove_suffix(1);
  return data.size() >= kRosterOpening.size() + kRosterClosing.size() &&
         data.ends_with(kRosterClosing);
}

class RosterReader {
 public:
  RosterReader(asio::io_context& io, const Endpoint& endpoint, std::function<void()> connected)
      : socket_(io), endpoint_(endpoint), connected_(std::move(connected)) {}

  void Start(const asio::ip::tcp::resolver::results_type& addresses) {
    asio::async_connect(socket_, addresses, [this](asio::error_code error, const auto&) {
      if (error) return Fail("cannot connect to " + ToString(endpoint_) + ": " + error.message());
      connected_();
      ReadMore();
    });
  }

  // Empty until the message is complete or the reading failed.
  const std::optional<std::string>& message() const { return message_; }
  const std::optional<std::string>& failure() const { return failure_; }

 private:
  void ReadMore() {
    socket_.async_read_some(asio::buffer(buffer_), [this](asio::error_code error, std::size_t n) {
      received_.append(buffer_.data(), n);
      if (!std::string_view(received_).starts_with(
              kRosterOpening.substr(0, std::min(received_.size(), kRosterOpening.size())))) {
        return Fail("the data received is not a roster message");
      }
      if (IsComplete(received_)) {
        message_ = received_;
        return;
      }
      if (error == asio::error::eof) return Fail("the connection closed before the roster ended");
      if (error) return Fail("receiving failed: " + error.message());
      ReadMore();
    });
  }

  void Fail(std::string why) { failure_ = std::move(why); }

  asio::ip::tcp::socket socket_;
  Endpoint endpoint_;
  std::function<void()> connected_;
  std::array<char, 65536> buffer_{};
  std::string received_;
  std::optional<std::string> message_;
  std::optional<std::string> failure_;
};

}  // namespace

std::string ReceiveRosterMessage(const Endpoint& endpoint, std::chrono::seconds timeout,
                                 const std::function<void()>& connected) {
  asio::io_context io;
  RosterReader reader(io, endpoint, connected);
  reader.Start(Resolve(io, endpoint));
  io.run_for(timeout);
  if (reader.failure()) throw ToolError(*reader.failure());
  if (!reader.message()) {
    throw ToolError("no roster message within " + std::to_string(timeout.count()) + " s");
  }
  return *reader.message();
}

std::vector<std::string> RosterRows(std::string_view message) {
  if (!message.empty() && message.back() == '\0') message.remove_suffix(1);
  std::string_view rows = message.substr(
      kRosterOpening.size(), message.size() - kRosterOpening.size() - kRosterClosing.size());
  std::vector<std::string> result;
  while (!rows.empty()) {
    std::size_t end = rows.find("\r\n");
    result.emplace_back(rows.substr(0, end));
    rows = end == std::string_view::npos ? std::string_view() : rows.substr(end + 2);
  }
  return result;
}

}  // namespace quenmora::tools
