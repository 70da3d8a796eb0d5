#include <gtest/gtest.h>

#include "gl/Random.h"

// The sequence is fixed by the recurrence; these are its first values from state 0.
TEST(Random, SequenceFromZeroAndDrawForms)
{
    Random::SetState(0);
    EXPECT_EQ(Random::Below(1u << 31), 0u);  // state 1: (1 * 2^31) >> 32 == 0
    EXPECT_EQ(Random::State(), 1u);
    EXPECT_EQ(Random::Below(100), static_cast<std::uint32_t>((std::uint64_t{134775814u} * 100) >> 32));
    const std::uint32_t next = 134775814u * 134775813u + 1u;
    EXPECT_DOUBLE_EQ(Random::Real(), next / 4294967296.0);
    // n == 1 always gives 0; Real stays below 1.
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(Random::Below(1), 0u);
        EXPECT_LT(Random::Real(), 1.0);
    }
    Random::SetState(0xFFFFFFFFu);
    EXPECT_EQ(Random::State(), 0xFFFFFFFFu);
    Random::Below(7);  // wraps mod 2^32
    EXPECT_EQ(Random::State(), 0xFFFFFFFFu * 134775813u + 1u);
}
