// Rows, tracks and programs: hand-made images and the built-in song.
#include <gtest/gtest.h>

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

TEST(BuiltInSong, FirstRowStartsChannelsAsWritten) {
  Synth s;
  ASSERT_EQ(StartSynth(s, BuiltIn(), 44100), "");
  EXPECT_EQ(s.Layout.Base, 0x14FE);
  EXPECT_EQ(s.Layout.TicksPerSecond, 50);
  EXPECT_EQ(s.Layout.OrderLength, 68);
  EXPECT_EQ(s.Layout.DurationUnit, 5);

  const ChannelState& bass = s.Channels[0];
  EXPECT_EQ(bass.EnvPhase, EnvelopePhase::Attack);
  EXPECT_EQ(bass.BaseNote, 28);
  EXPECT_EQ(bass.Note, 76);  // first program step is 48 notes up
  EXPECT_EQ(bass.InstrumentIndex, 0);
  EXPECT_EQ(bass.DurationLeft, 20);
  EXPECT_EQ(bass.PulseWidth, 2048);

  const ChannelState& lead = s.Channels[1];
  EXPECT_EQ(lead.InstrumentIndex, 1);
  EXPECT_EQ(lead.BaseNote, 40);
  EXPECT_EQ(lead.AttackRate, 4);
  EXPECT_EQ(lead.SustainLevel, 6);
  EXPECT_EQ(lead.PulseWidth, 1280);

  EXPECT_EQ(s.Channels[2].EnvPhase, EnvelopePhase::Idle);
}

TEST(BuiltInSong, FirstSixSamplesAt44100) {
  Synth s;
  ASSERT_EQ(StartSynth(s, BuiltIn(), 44100), "");
  std::int16_t out[6];
  RenderSamples(s, out, 6);
  const std::int16_t expected[6] = {130, 260, 391, 521, 652, 782};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], expected[i]) << i;
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

TEST(Sequencer, InstrumentSelectChangesParametersWithoutRestarting) {
  Synth s = SelectAfterNote(0);
  Skip(s, 200);
  const ChannelState& c = s.Channels[0];
  ASSERT_EQ(c.EnvPhase, EnvelopePhase::Sustain);
  EXPECT_EQ(c.Level, 32767);
  const std::int64_t sustainTime = c.EnvTime;
  Skip(s, 1);  // second tick: select, rest; the program's wait is over
  EXPECT_EQ(c.InstrumentIndex, 1);
  EXPECT_EQ(c.PulseWidth, 1024);
  EXPECT_EQ(c.EnvPhase, EnvelopePhase::Sustain);
  EXPECT_EQ(c.EnvTime, sustainTime + 1);
  EXPECT_EQ(c.Level, 13106);  // the running envelope follows sustain level 6
}

TEST(Sequencer, InstrumentSelectWaitsForTheRunningStep) {
  Synth s = SelectAfterNote(5);  // the step holds for 6 ticks
  const ChannelState& c = s.Channels[0];
  Skip(s, 501);
  EXPECT_EQ(c.InstrumentIndex, 1);
  EXPECT_EQ(c.PulseWidth, 2048);
  Skip(s, 100);
  EXPECT_EQ(c.PulseWidth, 1024);
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

TEST(Sequencer, ProgramLoopsBackToItsFirstStep) {
  SongPlan plan = QuietSong();
  plan.Tracks[0] = {60, 0xFF, 0x62};
  plan.Programs = {{0x81, 0x41, 0x10, 0x00,    // +1, hold 1
                    0x82, 0x40, 0x20, 0x00,    // +2
                    0x80, 0x00, 0x00, 0xF0}};  // loop marker
  Synth s;
  ASSERT_EQ(StartSynth(s, BuildSong(plan).Bytes, 5000), "");
  const int notes[] = {61, 61, 62, 61, 61, 62, 61};
  for (int tick = 0; tick < 7; ++tick) {
    EXPECT_EQ(s.Channels[0].Note, notes[tick]) << tick;
    Skip(s, tick == 0 ? 101 : 100);
  }
}

TEST(Sequencer, IllegalByteMakesTheChannelWait65536Ticks) {
  // One sample per tick; unit 255 ticks so that the other channels' rests
  // outlast the wait.
  SongPlan plan = QuietSong();
  plan.DurationUnit = 255;
  plan.TicksPerSecond = 50;
  plan.Tracks = {{40, 0x01, 0x63, 0x62}, {0x00, 0xFF, 0x00, 0xFF, 0x62},
                 {0x00, 0xFF, 0x00, 0xFF, 0x62}};
  Synth s;
  StartUnchecked(s, BuildSong(plan).Bytes, 50);
  const ChannelState& c = s.Channels[0];
  const std::uint16_t illegal = c.TrackPos;
  Skip(s, 256);  // tick 255: the note's 255 ticks are over, 0x63 is read
  EXPECT_EQ(c.DurationLeft, 0);
  EXPECT_EQ(c.TrackPos, illegal);
  Skip(s, 1);
  EXPECT_EQ(c.DurationLeft, 65535);
  Skip(s, 65534);
  EXPECT_EQ(c.DurationLeft, 1);
  Skip(s, 1);
  EXPECT_EQ(c.DurationLeft, 0);
  EXPECT_EQ(c.TrackPos, illegal);
  EXPECT_EQ(c.OrderPos, 0);
}

}  // namespace
