#include <gtest/gtest.h>

#include "raster/colour.h"

namespace {

TEST(PackColour, ReducesEachComponentAndAddsTheTerms) {
    EXPECT_EQ(PackColour(255, 128, 0), 0x00FF8000u);
    EXPECT_EQ(PackColour(0, 0, 300), 0x0000002Cu);
    EXPECT_EQ(PackColour(256, 256, 256), 0u);
    EXPECT_EQ(PackColour(0, 1, -1), 0x000000FFu);  // -1 borrows from the green term
    EXPECT_EQ(PackColour(1, 0, -256), 0x00010000u);
    EXPECT_EQ(PackColour(0, 0, -1), 0xFFFFFFFFu);  // wraps as a 32-bit sum
}

TEST(ByteCounters, StopAtTheirLimit) {
    const auto added = [](std::uint8_t value, std::uint8_t limit, std::int32_t amount) {
        AddCapped(value, limit, amount);
        return value;
    };
    const auto subtracted = [](std::uint8_t value, std::uint8_t limit, std::int32_t amount) {
        SubtractFloored(value, limit, amount);
        return value;
    };
    EXPECT_EQ(added(10, 200, 1), 11);
    EXPECT_EQ(added(199, 200, 1), 200);
    EXPECT_EQ(added(200, 200, 1), 200);
    EXPECT_EQ(added(250, 200, 1), 200);
    EXPECT_EQ(added(10, 20, -30), 236);  // a sum below zero keeps its low 8 bits
    EXPECT_EQ(subtracted(10, 1, 1), 9);
    EXPECT_EQ(subtracted(2, 1, 1), 1);
    EXPECT_EQ(subtracted(1, 1, 1), 1);
    EXPECT_EQ(subtracted(0, 1, 1), 1);
    EXPECT_EQ(subtracted(250, 0, -100000), 0x9A);  // (250 + 100000) keeps its low 8 bits
}

TEST(MaxMinSwap, PickAndExchange) {
    EXPECT_EQ(Max(3, 3), 3);
    EXPECT_EQ(Min(3, 3), 3);
    EXPECT_EQ(Max(-5, 2), 2);
    EXPECT_EQ(Min(-5, 2), -5);
    std::int32_t a = 7, b = -9;
    Swap(a, b);
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(-9, 7));
}

}  // namespace
