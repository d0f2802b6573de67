#include "engine/ProgressThrottle.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressThrottle, NothingIsDueBeforeTheStartDelay)
{
    ProgressThrottle throttle(5000);
    EXPECT_FALSE(throttle.Due(5000));
    EXPECT_FALSE(throttle.Due(5999));
    EXPECT_FALSE(throttle.Shown());
    EXPECT_TRUE(throttle.Due(6000));
    EXPECT_TRUE(throttle.Shown());

    // A reading taken before the walk began is not "long after" it.
    ProgressThrottle early(5000);
    EXPECT_FALSE(early.Due(10));
    EXPECT_FALSE(early.Shown());
    EXPECT_TRUE(early.Due(7500));

    // From a clock that starts at zero, and with no delay at all.
    ProgressThrottle fromZero(0);
    EXPECT_FALSE(fromZero.Due(999));
    EXPECT_TRUE(fromZero.Due(1000));
    ProgressThrottle immediate(300, 0);
    EXPECT_TRUE(immediate.Due(300));
}

TEST(ProgressThrottle, AtMostOneUpdatePerIntervalAfterTheFirst)
{
    ProgressThrottle throttle(0);
    ASSERT_TRUE(throttle.Due(1200));
    EXPECT_FALSE(throttle.Due(1200));
    EXPECT_FALSE(throttle.Due(1299));
    EXPECT_TRUE(throttle.Due(1300));
    // The interval runs from the last update, not on a fixed grid.
    EXPECT_FALSE(throttle.Due(1399));
    EXPECT_TRUE(throttle.Due(1450));
    EXPECT_FALSE(throttle.Due(1549));
    EXPECT_TRUE(throttle.Due(1550));
    // After a long pause one update is due, not one for each interval missed.
    EXPECT_TRUE(throttle.Due(9000));
    EXPECT_FALSE(throttle.Due(9001));
    EXPECT_TRUE(throttle.Shown());

    ProgressThrottle custom(0, 50, 10);
    EXPECT_TRUE(custom.Due(50));
    EXPECT_FALSE(custom.Due(59));
    EXPECT_TRUE(custom.Due(60));
}

} // namespace
