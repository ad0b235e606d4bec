// The effects' pictures are pinned by the show's golden hashes; the depth
// sort's handling of ties only where ties happen to occur, so it is checked
// here against the standard library's stable sort.
#include <algorithm>
#include <random>

#include "demo/disc_rings.h"
#include "demo_fixture.h"

namespace {

TEST(DiscRings, SortIsStableAndAscendingByDepth) {
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        DiscSlot slots[DiscSlotCount], expected[DiscSlotCount];
        for (int s = 0; s < DiscSlotCount; ++s) {
            // Few distinct depths, so many records tie; X keeps the original position.
            const double depth = -static_cast<double>(random() % (2 + round));
            slots[s] = expected[s] = DiscSlot{s, 0, 0, depth, 0};
        }
        std::stable_sort(expected, expected + DiscSlotCount,
                         [](const DiscSlot& a, const DiscSlot& b) { return a.Depth < b.Depth; });
        SortDiscSlots(slots);
        for (int s = 0; s < DiscSlotCount; ++s) ASSERT_EQ(slots[s].X, expected[s].X) << s;
    }
}

}  // namespace
