#include "common/export_guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace nimbrel;

TEST(Guarded, AnswersTheFailureValueForAnyException) {
    EXPECT_EQ(Guarded(0, [] { return 1; }), 1);
    EXPECT_EQ(Guarded(7, []() -> int { throw std::runtime_error("x"); }), 7);
    EXPECT_EQ(Guarded(7, []() -> int { throw std::bad_alloc(); }), 7);
    EXPECT_EQ(Guarded(7, []() -> int { throw 42; }), 7);

    bool ran = false;
    Guarded([&] {
        ran = true;
        throw "text";
    });
    EXPECT_TRUE(ran);
}
