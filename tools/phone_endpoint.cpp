#include "tools/phone_endpoint.h"

#include <asio/connect.hpp>

#include "link/wire/wire_format.h"
#include "tools/arguments.h"

namespace quenmora::tools {

std::optional<Endpoint> ParseEndpoint(std::string_view text) {
  Endpoint endpoint{std::string(text), link::kPhonePort};
  if (std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    const std::optional<std::uint64_t> port = ParseWholeNumber(text.substr(colon + 1), 1, 65535);
    if (!port) return std::nullopt;
    endpoint.host = std::string(text.substr(0, colon));
    endpoint.port = static_cast<std::uint16_t>(*port);
  }
  if (endpoint.host.empty() || endpoint.host.find(':') != std::string::npos) return std::nullopt;
  return endpoint;
}

std::string ToString(const Endpoint& endpoint) {
  return endpoint.host + ":" + std::to_string(endpoint.port);
}

asio::ip::tcp::resolver::results_type Resolve(asio::io_context& io, const Endpoint& endpoint) {
  asio::ip::tcp::resolver resolver(io);
  asio::error_code error;
  auto results = resolver.resolve(asio::ip::tcp::v4(), endpoint.host,
                                  std::to_string(endpoint.port), error);
  if (error) throw ToolError("cannot resolve " + endpoint.host + ": " + error.message());
  return results;
}

asio::ip::tcp::socket Connect(asio::io_context& io, const Endpoint& endpoint) {
  asio::ip::tcp::socket socket(io);
  asio::error_code error;
  asio::connect(socket, Resolve(io, endpoint), error);
  if (error) throw ToolError("cannot connect to " + ToString(endpoint) + ": " + error.message());
  return socket;
}

}  // namespace quenmora::tools
