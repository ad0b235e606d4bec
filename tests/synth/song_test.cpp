// The built-in song as composed: the fixed first row, rows of 32 units,
// every part used, no saw, drums from the second row. The header, the region
// sizes and the legal command bytes are checked when song.cpp compiles, and
// every other rule by LoadSongLayout (validation_test.cpp); the image is read
// here on its own, so a slip in the data cannot hide behind one in the player.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

constexpr int Base = 0x14FE, TrackCount = 15, InstrumentCount = 7, ProgramCount = 7, RowCount = 23;
constexpr int Triangle = 1, Saw = 2, Pulse = 4, Noise = 8;

int Byte(int offset) { return BuiltInSong[offset]; }
int Word(int offset) { return Byte(offset) | (Byte(offset + 1) << 8); }
int TrackStart(int track) { return Word(81 + 2 * track) - Base; }
int ProgramStart(int program) { return Word(551 + 2 * program) - Base; }
int ProgramEnd(int program) { return program + 1 < ProgramCount ? ProgramStart(program + 1) : 913; }
int OrderTrack(int row, int channel) { return Byte(12 + 3 * row + channel); }

// A track command: its kind (first byte, with every relative note as 128),
// its value (note, instrument or relative step) and its duration in units.
struct Command {
  int kind, value, duration;
};

std::vector<Command> TrackCommands(int track) {
  std::vector<Command> commands;
  for (int p = TrackStart(track); Byte(p) != 98;) {
    const int c = Byte(p);
    if (c >= 128) {
      commands.push_back({128, (c & 15) - 7, (c >> 4) - 7});
      ++p;
    } else {
      const bool timed = c != 100;  // an instrument select takes no time
      commands.push_back({c, Byte(p + 1), timed ? Byte(p + 1) : 0});
      p += 2;
    }
  }
  return commands;
}

bool StrikesNote(const Command& c) { return c.kind == 128 || (c.kind >= 1 && c.kind <= 97); }

// Instruments a track plays notes with: a row starts on instrument 0.
std::set<int> InstrumentsStruck(int track) {
  std::set<int> struck;
  int instrument = 0;
  for (const Command& c : TrackCommands(track)) {
    if (c.kind == 100) instrument = c.value;
    if (StrikesNote(c)) struck.insert(instrument);
  }
  return struck;
}

std::set<int> TracksOnChannel(int channel) {
  std::set<int> tracks;
  for (int row = 0; row < RowCount; ++row) tracks.insert(OrderTrack(row, channel));
  return tracks;
}

int ProgramOf(int instrument) { return Byte(530 + 3 * instrument); }
int StepWaves(int step) { return Byte(step + 1) >> 4; }
bool IsLoopMarker(int step) { return Byte(step + 3) >> 4 == 15; }

TEST(BuiltInSong, RowsLast32UnitsAndEveryPartIsUsed) {
  std::set<int> used;
  for (int row = 0; row < RowCount; ++row)
    for (int channel = 0; channel < 3; ++channel) used.insert(OrderTrack(row, channel));
  EXPECT_EQ(used, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));

  // Channel 1 ends every row at 32 units; the other channels' tracks run to
  // 64, so their end markers are never reached. Each track sets its own
  // pitch before stepping from it, so it sounds the same after any other,
  // and stays within notes 1 to 97.
  for (int t = 0; t < TrackCount; ++t) {
    SCOPED_TRACE("track " + std::to_string(t));
    int units = 0, note = 0;
    for (const Command& c : TrackCommands(t)) {
      units += c.duration;
      EXPECT_TRUE(c.kind != 128 || note != 0) << "a relative note before any note";
      note = c.kind == 128 ? note + c.value : StrikesNote(c) ? c.kind : note;
      EXPECT_TRUE(!StrikesNote(c) || (note >= 1 && note <= 97)) << note;
    }
    const bool lead = TracksOnChannel(1).count(t) != 0;
    EXPECT_EQ(units, lead ? 32 : 64);
    EXPECT_FALSE(lead && (TracksOnChannel(0).count(t) || TracksOnChannel(2).count(t)));
  }

  std::set<int> instruments, programs;
  for (int t = 0; t < TrackCount; ++t)
    for (int i : InstrumentsStruck(t)) instruments.insert(i);
  EXPECT_EQ(instruments.size(), static_cast<std::size_t>(InstrumentCount));
  for (int i : instruments) programs.insert(ProgramOf(i));
  EXPECT_EQ(programs, (std::set<int>{0, 1, 2, 3, 4, 5, 6}));
  for (int n = 0; n < ProgramCount; ++n)
    for (int step = ProgramStart(n); step < ProgramEnd(n); step += 4)
      EXPECT_TRUE(IsLoopMarker(step) || (StepWaves(step) & Saw) == 0) << "saw in step at " << step;
}

// Channel 2's instruments are the drums: a pitch-swept triangle and noise.
TEST(BuiltInSong, DrumsComeInFromTheSecondRow) {
  EXPECT_TRUE(InstrumentsStruck(OrderTrack(0, 2)).empty());
  std::set<int> drums;
  for (int t : TracksOnChannel(2))
    for (int i : InstrumentsStruck(t)) drums.insert(i);
  EXPECT_GE(drums.size(), 3u);
  bool sweptTriangle = false, noise = false;
  for (int instrument : drums) {
    std::set<int> offsets;
    int waves = 0;
    for (int step = ProgramStart(ProgramOf(instrument)); step < ProgramEnd(ProgramOf(instrument)); step += 4) {
      waves |= StepWaves(step);
      if (StepWaves(step) != 0) offsets.insert(Byte(step));
    }
    EXPECT_EQ(waves & (Saw | Pulse), 0) << "instrument " << instrument;
    sweptTriangle |= waves == Triangle && offsets.size() >= 4;
    noise |= (waves & Noise) != 0;
  }
  EXPECT_TRUE(sweptTriangle);
  EXPECT_TRUE(noise);
}

TEST(BuiltInSong, EveryRowSoundsAndTheDrumsStartInRowOne) {
  constexpr int RowSamples = 160 * 160;  // at 8000 Hz: 160 samples per tick
  Synth s;
  ASSERT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, 8000), "");
  std::vector<std::int16_t> row(RowSamples);
  for (int r = 0; r < RowCount; ++r) {
    RenderSamples(s, row.data(), RowSamples);
    double sum = 0;
    for (std::int16_t x : row) sum += static_cast<double>(x) * x;
    EXPECT_GT(std::sqrt(sum / RowSamples), 2000.0) << "row " << r;
    EXPECT_TRUE(r > 1 || (s.Channels[2].EnvPhase == EnvelopePhase::Idle) == (r == 0)) << "row " << r;
    std::int16_t extra;
    RenderSamples(s, &extra, 1);  // the first tick of each new row comes one sample late
  }
}

}  // namespace
