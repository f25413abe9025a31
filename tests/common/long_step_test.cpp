#include "common/long_step.h"

#include <gtest/gtest.h>

namespace {

// One long step at a time: a second guard is not engaged and does not release the first's flag.
TEST(LongStep, OneStepAtATime) {
    EXPECT_FALSE(common::LongStepWorking());
    {
        common::LongStepGuard first;
        EXPECT_TRUE(first);
        EXPECT_TRUE(common::LongStepWorking());
        {
            common::LongStepGuard second;
            EXPECT_FALSE(second);
        }
        EXPECT_TRUE(common::LongStepWorking()) << "the refused guard released nothing";
    }
    EXPECT_FALSE(common::LongStepWorking());
    common::LongStepGuard again;
    EXPECT_TRUE(again);
}

}  // namespace
