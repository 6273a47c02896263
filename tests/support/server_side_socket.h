#pragma once
// The server's side of a loopback connection as the Linux kernel lists it in /proc/net/tcp: what
// the server has not read yet, and its timer. Lets a test see what the server has read, and
// whether it probes an idle connection, without hooks in the server.
#ifdef __linux__
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace quenmora::test_support {

struct ServerSideSocket {
  std::size_t unread = 0;  // bytes received that the server has not read
  int timerKind = 0;       // 2 is keep-alive; 0 none
  double timerDueSeconds = 0;
};

inline std::optional<ServerSideSocket> FindServerSide(std::uint16_t serverPort, std::uint16_t phonePort) {
  const auto hexAfter = [](const std::string& field) { return std::stoul(field.substr(field.find(':') + 1), nullptr, 16); };
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // the heading
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer;
    fields >> slot >> local >> remote >> state >> queues >> timer;
    if (hexAfter(local) != serverPort || hexAfter(remote) != phonePort) continue;
    return ServerSideSocket{.unread = hexAfter(queues),
                            .timerKind = std::stoi(timer.substr(0, timer.find(':')), nullptr, 16),
                            .timerDueSeconds = static_cast<double>(hexAfter(timer)) /
                                               static_cast<double>(::sysconf(_SC_CLK_TCK))};
  }
  return std::nullopt;
}

}  // namespace quenmora::test_support
#endif
