// The ring refill: passes of any size, wrapping or not, render exactly the
// bytes the play cursor has moved over, as one continuous sample stream.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "song_builder.h"
#include "synth/stream.h"

namespace {

TEST(RenderRegions, PassesOfAnySizeRenderOneContiguousStream) {
  // A 1,000-byte ring (500 samples) at 8,000 Hz, the cursor moving by random
  // even amounts, 0 and the whole ring less 2 included. Every sample is
  // recorded in the order it is written to the ring, and all of them must
  // equal one uninterrupted render.
  constexpr std::uint32_t RingBytes = 1000;
  std::vector<std::uint8_t> memory(RingBytes);
  const auto sampleAt = [&](std::uint32_t byte) {
    std::int16_t v;
    std::memcpy(&v, memory.data() + byte % RingBytes, 2);
    return v;
  };
  Synth s = StartBuiltInSong(8000);
  SoundRing ring{RingBytes, 0};
  FirstFill(s, ring, memory.data(), RingBytes);
  EXPECT_EQ(ring.WritePos, 0u);
  std::vector<std::int16_t> written;
  for (std::uint32_t b = 0; b < RingBytes; b += 2) written.push_back(sampleAt(b));

  std::uint32_t cursor = 0;
  std::uint64_t moved = 0;
  std::mt19937 random(3);
  for (int pass = 0; pass < 400; ++pass) {
    const std::uint32_t step = 2 * (random() % (RingBytes / 2));
    cursor = (cursor + step) % RingBytes;
    moved += step;
    const std::uint32_t due = BytesDue(ring, cursor);
    ASSERT_EQ(due, step);
    if (due == 0) continue;
    // The device's lock: the end of the ring, then its start.
    const std::uint32_t start = ring.WritePos, first = std::min(due, RingBytes - start);
    RenderRegions(s, ring, memory.data() + start, first, first < due ? memory.data() : nullptr, due - first);
    ASSERT_EQ(ring.WritePos, cursor);
    for (std::uint32_t b = 0; b < due; b += 2) written.push_back(sampleAt(start + b));
  }
  EXPECT_EQ(written.size(), (moved + RingBytes) / 2);

  EXPECT_TRUE(written == BuiltInSongSamples(8000, written.size()));
}

}  // namespace
