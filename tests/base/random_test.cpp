#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/random.h"

namespace {

// Draws from the largest state: a fraction stays below 1 and RandomBelow(n)
// below n, which no picture shows (the values in between are pinned by the
// show's and the song's golden hashes).
TEST(Random, LargestStateStaysInRange) {
    const std::uint32_t inverse = 0xD94FA8CD;  // of the multiplier 134775813
    const std::uint32_t beforeLargest = (0xFFFFFFFFu - 1u) * inverse;
    RandomState state{beforeLargest};
    EXPECT_EQ(RandomFraction(state), 0xFFFFFFFFp-32);
    state.store(beforeLargest);
    EXPECT_EQ(RandomBelow(state, 1000), 999u);
    EXPECT_EQ(RandomBelow(state, 0), 0u);
}

// The render and the audio thread draw at the same time; every draw must
// advance the state by exactly one step, so the end state is the state after
// N sequential steps. A lost step needs the threads to overlap, so they start
// together, several times over.
TEST(Random, DrawsFromTwoThreadsAreIndivisibleSteps) {
    constexpr int DrawsPerThread = 2'000'000;
    std::uint32_t expected = 12345;
    for (int i = 0; i < 2 * DrawsPerThread; ++i) expected = expected * 134775813u + 1u;
    for (int round = 0; round < 8; ++round) {
        RandomState state{12345};
        std::atomic<int> ready{0};
        const auto draw = [&ready, &state](bool fraction) {
            ready.fetch_add(1);
            while (ready.load() < 2) {}
            for (int i = 0; i < DrawsPerThread; ++i) fraction ? RandomFraction(state) : RandomBelow(state, 3);
        };
        std::thread audio(draw, false);
        draw(true);
        audio.join();
        ASSERT_EQ(state.load(), expected) << "round " << round;
    }
}

}  // namespace
