// Rows, tracks and programs on hand-made images and the built-in song, and
// RenderSamples as a stream: how a render is split into calls changes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "raster/random.h"
#include "song_builder.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

std::vector<std::uint8_t> BuiltIn() { return {BuiltInSong, BuiltInSong + BuiltInSongSize}; }

void Skip(Synth& s, std::int64_t samples) {
  std::vector<std::int16_t> out(4096);
  while (samples > 0) {
    const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(samples, 4096));
    RenderSamples(s, out.data(), n);
    samples -= n;
  }
}

TEST(BuiltInSong, RowLasts160TicksAndTheNextRowsFirstTickIsOneSampleLate) {
  Synth s;
  ASSERT_EQ(StartSynth(s, BuiltIn(), 44100), "");
  const std::int64_t rowEnd = 160 * 882;  // index of the sample that ends row 0
  Skip(s, rowEnd);
  EXPECT_EQ(s.Channels[0].OrderPos, 0);
  Skip(s, 1);
  for (const ChannelState& c : s.Channels) EXPECT_EQ(c.OrderPos, 3);
  const std::uint16_t firstDuration = s.Channels[0].DurationLeft;

  Skip(s, 882);  // a regular tick would have come now
  EXPECT_EQ(s.Channels[0].DurationLeft, firstDuration);
  Skip(s, 1);
  EXPECT_EQ(s.Channels[0].DurationLeft, firstDuration - 1);
}

TEST(BuiltInSong, OrderListWrapsAfter23Rows) {
  Synth s;
  ASSERT_EQ(StartSynth(s, BuiltIn(), 8000), "");  // 160 samples per tick
  const std::int64_t row = 160 * 160 + 1;
  RandomSeed = 12345;
  EXPECT_EQ(SongLoopSamples(s), 23 * row);
  EXPECT_EQ(RandomSeed.load(), 12345u);  // the capture tool renders from seed 0 afterwards
  Skip(s, 23 * row - 1);
  EXPECT_EQ(s.Channels[1].OrderPos, 66);
  Skip(s, 1);
  for (int ch = 0; ch < 3; ++ch) {
    EXPECT_EQ(s.Channels[ch].OrderPos, 0);
    EXPECT_EQ(s.Channels[ch].OrderOffset, 12 + ch);
  }
  EXPECT_EQ(s.Channels[0].DurationLeft, 20);
}

TEST(Sequencer, RowsFollowTheOrderListAndEndAtTheFirstEndMarker) {
  // Unit 2 ticks. Track 1 ends after 3 units, track 3 after 1; the 255-unit
  // rests never finish. Order length 5 plays the rows at 0 and 3.
  SongPlan plan = QuietSong();
  plan.DurationUnit = 2;
  plan.Rows = {{0, 1, 2}, {2, 0, 3}};
  plan.OrderLength = 5;
  plan.Tracks.push_back({0x00, 0x01, 0x62});
  plan.Tracks[1] = {0x00, 0x03, 0x62};
  Synth s;
  ASSERT_EQ(StartSynth(s, BuildSong(plan).Bytes, 500), "");  // 10 samples per tick
  const std::int64_t rows[] = {3 * 2 * 10 + 1, 1 * 2 * 10 + 1};
  EXPECT_EQ(SongLoopSamples(s), rows[0] + rows[1]);
  const int expectedPos[] = {3, 0, 3};
  for (int step = 0; step < 3; ++step) {
    Skip(s, rows[step % 2] - 1);
    EXPECT_EQ(s.Channels[2].OrderPos, step % 2 == 0 ? 0 : 3) << step;
    Skip(s, 1);
    EXPECT_EQ(s.Channels[2].OrderPos, expectedPos[step]) << step;
  }
}

// Instrument 0 plays program 0 (square wave, hold `hold`, stop); track 0
// strikes note 40 for 2 ticks, then selects instrument 1 (program 1, width
// 1024, sustain 6) and rests. 100 samples per tick.
Synth SelectAfterNote(std::uint8_t hold) {
  SongPlan plan = QuietSong();
  plan.Tracks[0] = {40, 0x02, 0x64, 0x01, 0x00, 0x0A, 0x62};
  plan.Instruments = {{0x00, 0x00, 0xF0}, {0x01, 0x00, 0x60}};
  plan.Programs = {{0x80, static_cast<std::uint8_t>(0x40 | hold), 0x80, 0xE0},
                   {0x80, 0x40, 0x40, 0xE0}};
  Synth s;
  EXPECT_EQ(StartSynth(s, BuildSong(plan).Bytes, 5000), "");
  return s;
}

TEST(Sequencer, InstrumentSelectWaitsForTheStepAndDoesNotRestart) {
  Synth s = SelectAfterNote(0);
  const ChannelState& c = s.Channels[0];
  Skip(s, 200);
  ASSERT_EQ(c.EnvPhase, EnvelopePhase::Sustain);
  EXPECT_EQ(c.Level, 32767);
  const std::int64_t sustainTime = c.EnvTime;
  Skip(s, 1);  // second tick: select, rest; the program's wait is over
  EXPECT_EQ(c.InstrumentIndex, 1);
  EXPECT_EQ(c.PulseWidth, 1024);
  EXPECT_EQ(c.EnvPhase, EnvelopePhase::Sustain);
  EXPECT_EQ(c.EnvTime, sustainTime + 1);
  EXPECT_EQ(c.Level, 13106);  // the running envelope follows sustain level 6

  Synth held = SelectAfterNote(5);  // the step holds for 6 ticks
  Skip(held, 501);
  EXPECT_EQ(held.Channels[0].InstrumentIndex, 1);
  EXPECT_EQ(held.Channels[0].PulseWidth, 2048);
  Skip(held, 100);
  EXPECT_EQ(held.Channels[0].PulseWidth, 1024);
}

TEST(Sequencer, RelativeNotesWrapTheBaseNoteAndClampTheSoundingNote) {
  SongPlan plan = QuietSong();
  plan.Tracks[0] = {3, 0x01, 0x80, 0x62};  // note 3, then 0x80: -7 for 1 unit
  plan.Programs = {{0x00, 0x40, 0x80, 0x00, 0x80, 0x40, 0x80, 0xF0}};
  Synth s;
  ASSERT_EQ(StartSynth(s, BuildSong(plan).Bytes, 5000), "");
  EXPECT_EQ(s.Channels[0].Note, 1);  // 3 - 128 clamps to 1
  Skip(s, 101);
  EXPECT_EQ(s.Channels[0].BaseNote, 252);
  EXPECT_EQ(s.Channels[0].Note, 97);  // 252 - 128 = 124 clamps to 97
  EXPECT_EQ(s.Channels[0].DurationLeft, 1);
}

constexpr std::int32_t Total = 150000;  // crosses the end of row 0 at 44,100 Hz

std::vector<std::int16_t> RenderInCalls(const std::function<std::int32_t()>& nextCount) {
  Synth s = StartBuiltInSong(44100);
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
  for (std::int32_t size : {1, 7, 882, 883, 0}) {  // 882: one tick; 0: random sizes below 3000
    const auto next = [&] { return size != 0 ? size : static_cast<std::int32_t>(random() % 3000); };
    EXPECT_TRUE(RenderInCalls(next) == whole) << "calls of " << size;
  }
}

TEST(RenderSamples, ZeroOrNegativeCountsWriteNothing) {
  Synth s;
  ASSERT_EQ(StartSynth(s, BuiltIn(), 44100), "");
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
