// The ring refill: bytes due for a play cursor, regions rendered in order,
// and the stream they add up to.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "raster/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"
#include "synth/stream.h"

namespace {

TEST(BytesDue, CountsFromWritePosToTheCursorAcrossTheEnd) {
  SoundRing ring{8, 2};
  EXPECT_EQ(BytesDue(ring, 2), 0u);  // cursor at WritePos: nothing to do
  EXPECT_EQ(BytesDue(ring, 6), 4u);
  EXPECT_EQ(BytesDue(ring, 0), 6u);  // cursor wrapped: 6 to the end, 0 after it
  ring.WritePos = 6;
  EXPECT_EQ(BytesDue(ring, 2), 4u);
  EXPECT_EQ(BytesDue(ring, 4), 6u);
}

// A ring buffer of bytes with the two-region lock of the sound device.
struct FakeDevice {
  std::vector<std::uint8_t> Memory;
  std::uint32_t Cursor = 0;

  struct Lock { void* p1; std::uint32_t n1; void* p2; std::uint32_t n2; };
  Lock LockAt(std::uint32_t offset, std::uint32_t count) {
    const auto size = static_cast<std::uint32_t>(Memory.size());
    const std::uint32_t first = std::min(count, size - offset);
    if (first == count) return {Memory.data() + offset, count, nullptr, 0};
    return {Memory.data() + offset, first, Memory.data(), count - first};
  }
};

Synth BuiltInAt(std::uint32_t rate) {
  Synth s;
  EXPECT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, rate), "");
  return s;
}

std::int16_t SampleAt(const FakeDevice& device, std::uint32_t byte) {
  std::int16_t v;
  std::memcpy(&v, device.Memory.data() + byte, 2);
  return v;
}

TEST(RenderRegions, StepsThroughWrapAroundInASixByteRing) {
  // Reference: the first 20 samples of the song in one call.
  Synth reference = BuiltInAt(8000);
  std::int16_t expected[20];
  RenderSamples(reference, expected, 20);

  Synth s = BuiltInAt(8000);
  FakeDevice device{std::vector<std::uint8_t>(6), 0};
  SoundRing ring{6, 0};
  FirstFill(s, ring, device.Memory.data(), 6);
  EXPECT_EQ(ring.WritePos, 0u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(SampleAt(device, 2 * i), expected[i]);

  // The cursor moves 4 bytes: samples 3 and 4 go to bytes 0 and 2.
  std::uint32_t due = BytesDue(ring, 4);
  ASSERT_EQ(due, 4u);
  FakeDevice::Lock lock = device.LockAt(ring.WritePos, due);
  EXPECT_EQ(lock.p2, nullptr);
  RenderRegions(s, ring, lock.p1, lock.n1, lock.p2, lock.n2);
  EXPECT_EQ(ring.WritePos, 4u);
  EXPECT_EQ(SampleAt(device, 0), expected[3]);
  EXPECT_EQ(SampleAt(device, 2), expected[4]);
  EXPECT_EQ(SampleAt(device, 4), expected[2]);  // not yet played: untouched

  // The cursor wraps to 2: byte 4 (the end) is rendered before byte 0.
  due = BytesDue(ring, 2);
  ASSERT_EQ(due, 4u);
  lock = device.LockAt(ring.WritePos, due);
  ASSERT_NE(lock.p2, nullptr);
  EXPECT_EQ(lock.n1, 2u);
  EXPECT_EQ(lock.n2, 2u);
  RenderRegions(s, ring, lock.p1, lock.n1, lock.p2, lock.n2);
  EXPECT_EQ(ring.WritePos, 2u);
  EXPECT_EQ(SampleAt(device, 4), expected[5]);
  EXPECT_EQ(SampleAt(device, 0), expected[6]);

  // A full turn of the cursor back to WritePos finds nothing due.
  EXPECT_EQ(BytesDue(ring, 2), 0u);
}

TEST(RenderRegions, PassesOfAnySizeRenderOneContiguousStream) {
  // A 1,000-byte ring (500 samples) at 8,000 Hz, the cursor moving by random
  // even amounts; every rendered sample is recorded in the order it is
  // written to the ring, and must equal one uninterrupted render.
  constexpr std::uint32_t RingBytes = 1000;
  Synth s = BuiltInAt(8000);
  FakeDevice device{std::vector<std::uint8_t>(RingBytes), 0};
  SoundRing ring{RingBytes, 0};
  RandomSeed = 0;
  FirstFill(s, ring, device.Memory.data(), RingBytes);

  std::vector<std::int16_t> written;
  for (std::uint32_t b = 0; b < RingBytes; b += 2) written.push_back(SampleAt(device, b));
  std::uint64_t moved = 0;
  std::mt19937 random(3);
  for (int pass = 0; pass < 400; ++pass) {
    const std::uint32_t step = 2 * (random() % (RingBytes / 2));  // 0 to 998 bytes
    device.Cursor = (device.Cursor + step) % RingBytes;
    moved += step;
    const std::uint32_t due = BytesDue(ring, device.Cursor);
    ASSERT_EQ(due, step);
    if (due == 0) continue;
    const FakeDevice::Lock lock = device.LockAt(ring.WritePos, due);
    const std::uint32_t start = ring.WritePos;
    RenderRegions(s, ring, lock.p1, lock.n1, lock.p2, lock.n2);
    ASSERT_EQ(ring.WritePos, device.Cursor);
    for (std::uint32_t b = 0; b < due; b += 2) written.push_back(SampleAt(device, (start + b) % RingBytes));
  }
  EXPECT_EQ(written.size(), (moved + RingBytes) / 2);

  Synth reference = BuiltInAt(8000);
  RandomSeed = 0;
  std::vector<std::int16_t> expected(written.size());
  RenderSamples(reference, expected.data(), static_cast<std::int32_t>(expected.size()));
  EXPECT_TRUE(written == expected);
}

}  // namespace
