#pragma once
// Where quenmora-phone connects: "HOST[:PORT]", the port defaulting to the desktop's 3456.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <asio/ip/tcp.hpp>

namespace quenmora::tools {

// A failure the tool reports on one line before it exits non-zero.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Endpoint {
  std::string host;
  std::uint16_t port = 0;
};

// Empty if the text is not a host, optionally followed by ":" and a port from 1 to 65535.
std::optional<Endpoint> ParseEndpoint(std::string_view text);

std::string ToString(const Endpoint& endpoint);

// Resolves the host; throws ToolError naming the endpoint if that fails.
asio::ip::tcp::resolver::results_type Resolve(asio::io_context& io, const Endpoint& endpoint);

// Connects at once; throws ToolError (for example "connection refused") if that fails.
asio::ip::tcp::socket Connect(asio::io_context& io, const Endpoint& endpoint);

}  // namespace quenmora::tools
