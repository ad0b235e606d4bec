// RenderSamples as a stream: how a render is split into calls changes
// nothing, and the sample count of one song loop.
#include <gtest/gtest.h>

#include <random>

#include "raster/random.h"
#include "song_builder.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

constexpr std::int32_t Total = 150000;  // crosses the end of row 0 at 44,100 Hz

std::vector<std::int16_t> RenderInCalls(const std::function<std::int32_t()>& nextCount) {
  Synth s;
  EXPECT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, 44100), "");
  RandomSeed = 0;
  std::vector<std::int16_t> out(Total);
  std::int32_t done = 0;
  while (done < Total) {
    const std::int32_t n = std::min(nextCount(), Total - done);
    RenderSamples(s, out.data() + done, n);
    done += n;
  }
  return out;
}

TEST(RenderSamples, SplittingARenderIntoCallsOfAnySizeChangesNothing) {
  const std::vector<std::int16_t> whole = RenderInCalls([] { return Total; });
  std::mt19937 random(7);
  const struct { const char* name; std::function<std::int32_t()> count; } splits[] = {
      {"1", [] { return 1; }},
      {"7", [] { return 7; }},
      {"882 (one tick)", [] { return 882; }},
      {"883", [] { return 883; }},
      {"random", [&] { return static_cast<std::int32_t>(random() % 3000); }},
  };
  for (const auto& split : splits)
    EXPECT_TRUE(RenderInCalls(split.count) == whole) << "calls of " << split.name;
}

TEST(RenderSamples, ZeroOrNegativeCountsWriteNothing) {
  Synth s;
  ASSERT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, 44100), "");
  std::int16_t guard = 77;
  RenderSamples(s, &guard, 0);
  RenderSamples(s, &guard, -5);
  EXPECT_EQ(guard, 77);
  EXPECT_EQ(s.Channels[0].TickCount, 0);
}

TEST(RenderSamples, TheNoiseVoiceIsTheOnlyDrawOnTheGenerator) {
  // Channel 2 plays noise on note 60 (step 334,783 at 44,100 Hz). Over
  // 1,000 samples the phase passes 2^21 159 times, one draw each; the
  // pulse and the triangle of the other channels draw nothing.
  SongPlan plan = QuietSong();
  plan.Tracks = {{0x64, 0x01, 40, 0xFF, 0x62}, {0x64, 0x02, 52, 0xFF, 0x62}, {60, 0xFF, 0x62}};
  plan.Instruments = {{0x00, 0x00, 0xF0}, {0x01, 0x00, 0xF0}, {0x02, 0x00, 0xF0}};
  plan.Programs = {{0x80, 0x80, 0x00, 0xE0}, {0x80, 0x40, 0x80, 0xE0}, {0x80, 0x10, 0x00, 0xE0}};
  Synth s;
  ASSERT_EQ(StartSynth(s, BuildSong(plan).Bytes, 44100), "");
  RandomSeed = 0;
  std::vector<std::int16_t> out(1000);
  RenderSamples(s, out.data(), 1000);
  std::uint32_t state = 0;
  for (int i = 0; i < 159; ++i) state = state * 134775813u + 1u;
  EXPECT_EQ(RandomSeed.load(), state);
}

}  // namespace
