// A rest's bounds, on a clock the test gives: resting up to the end and
// not at it, and a new failure starting the rest again.

#include "services/support/source_rest.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using nimbrel::services::SourceRest;

TEST(SourceRest, RestsFromTheStartUpToItsEnd) {
    const SourceRest::Clock::time_point start{1h};
    struct Case {
        std::chrono::milliseconds length;
        SourceRest::Clock::duration after;  // the start
        bool resting;
    };
    const Case cases[] = {
        {30s, 0s, true},        {30s, 30s - 1ns, true}, {30s, 30s, false},
        {30s, 31s, false},      {0ms, 0s, false},       {60s, 59s, true},
    };
    for (const Case& c : cases) {
        SourceRest rest(c.length);
        EXPECT_FALSE(rest.Resting(start)) << "before any failure";
        rest.Start(start);
        const auto now = start + c.after;
        EXPECT_EQ(rest.Resting(now), c.resting) << c.length.count() << " ms, at " << c.after.count() << " ns";
        ASSERT_EQ(rest.Until(now).has_value(), c.resting);
        if (c.resting) {
            EXPECT_EQ(*rest.Until(now), start + c.length);
        }
    }
}

TEST(SourceRest, AFailureDuringARestStartsItAgain) {
    const SourceRest::Clock::time_point start{1h};
    SourceRest rest(30s);
    rest.Start(start);
    rest.Start(start + 20s);
    EXPECT_TRUE(rest.Resting(start + 40s));
    EXPECT_EQ(*rest.Until(start + 40s), start + 50s);
    EXPECT_FALSE(rest.Resting(start + 50s));
}
