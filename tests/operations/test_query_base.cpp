#include "operations/field_values.h"

#include <gtest/gtest.h>

#include <utility>

TEST(QueryBase, FollowsTheStartAddressRule)
{
    const std::pair<const char *, long long> cases[] = {
        {"0", 0},   {"1", 0},   {"2", 2},   {"3", 4}, {"5", 8},   {"10", 18},         {"0.9", 0},
        {"1.9", 0}, {"-1", -4}, {"abc", 0}, {"", 0},  {" 2 ", 2}, {"1e300", 1999998},
    };
    for (const auto &[text, base] : cases)
        EXPECT_EQ(ops::queryBase(text), base) << text;
}
