#include "app/host_addresses.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quenmora::app {
namespace {

TEST(LocalIpv4Addresses, AreDottedQuadsWithoutLoopback) {
  for (const std::string& address : LocalIpv4Addresses()) {
    EXPECT_FALSE(address.starts_with("127.")) << address;
    EXPECT_EQ(std::ranges::count(address, '.'), 3) << address;
    EXPECT_TRUE(std::ranges::all_of(address, [](char c) { return c == '.' || (c >= '0' && c <= '9'); }))
        << address;
  }
}

}  // namespace
}  // namespace quenmora::app
