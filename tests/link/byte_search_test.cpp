#include "link/wire/byte_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace quenmora::link {
namespace {

// Against the plain searches, on strings dense with the bytes looked for, at every length and start
// around the 16- and 64-byte steps.
TEST(ByteSearch, AgreesWithThePlainSearchesAtEveryLengthAndStart) {
  std::mt19937 random(7);
  const std::string alphabet("|x%\0", 4);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(static_cast<std::size_t>(round % 150), 'x');
    // Now and then sparse, so that the wide steps run through.
    const unsigned density = round % 3 == 0 ? 40u : 3u;
    for (char& byte : bytes) {
      if (random() % density == 0) byte = alphabet[random() % alphabet.size()];
    }
    for (std::size_t from = 0; from <= bytes.size(); ++from) {
      const std::string_view rest = std::string_view(bytes).substr(from);
      EXPECT_EQ(HoldsZeroPercentOrBar(rest), rest.find_first_of(std::string_view("\0%|", 3)) != std::string_view::npos)
          << round << " from " << from;
      EXPECT_EQ(FindTwoBars(bytes, from), std::string_view(bytes).find("||", from)) << round << " from " << from;
    }
  }
}

}  // namespace
}  // namespace quenmora::link
