#include "link/reception/ui_executor.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace quenmora::link {
namespace {

// Guarded tasks, given straight and through a guarded executor, run while their owner lives and
// do nothing once it has ended, whether by End() or by its destructor; the guarded executor
// outlives the owner.
TEST(OwnerLifetime, GuardedTasksDoNothingOnceTheOwnerHasEnded) {
  for (const bool endedByDestructor : {false, true}) {
    std::vector<int> ran;
    std::vector<UiTask> queued;
    auto owner = std::make_unique<OwnerLifetime>();
    const UiTask task = owner->Guard([&] { ran.push_back(1); });
    const UiExecutor ui = owner->GuardedExecutor([&](UiTask given) { queued.push_back(given); });
    ui([&] { ran.push_back(2); });
    ASSERT_EQ(queued.size(), 1u);
    task();
    queued[0]();
    EXPECT_FALSE(owner->Ended());
    EXPECT_EQ(ran, (std::vector<int>{1, 2})) << endedByDestructor;

    if (endedByDestructor) {
      owner.reset();
    } else {
      owner->End();
      EXPECT_TRUE(owner->Ended());
    }
    ui([&] { ran.push_back(3); });
    ASSERT_EQ(queued.size(), 2u);
    task();
    for (const UiTask& late : queued) late();
    EXPECT_EQ(ran, (std::vector<int>{1, 2})) << endedByDestructor;
  }
}

}  // namespace
}  // namespace quenmora::link
