// Checks the built-in song image against the layout it must keep and the
// rules that make it play as composed. The image is parsed here on its own,
// without the sequencer, so a slip in the data cannot hide behind a slip in
// the player; one test then plays it to see that every row sounds.
#include "synth/dxvornik.h"
#include "synth/song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int Base = 0x14FE;
constexpr int TrackCount = 15;
constexpr int InstrumentCount = 7;
constexpr int ProgramCount = 7;
constexpr int RowCount = 23;
constexpr int RowUnits = 32;

int Byte(int offset) { return BuiltInSong[offset]; }
int Word(int offset) { return Byte(offset) | (Byte(offset + 1) << 8); }
int TrackStart(int track) { return Word(81 + 2 * track) - Base; }
int TrackEnd(int track) { return track + 1 < TrackCount ? TrackStart(track + 1) : 530; }
int ProgramStart(int program) { return Word(551 + 2 * program) - Base; }
int ProgramEnd(int program) { return program + 1 < ProgramCount ? ProgramStart(program + 1) : 913; }
int OrderTrack(int row, int channel) { return Byte(12 + 3 * row + channel); }

// One track command as read from the image.
struct Command {
  enum Kind { Rest, Note, End, Instrument, Release, Relative, Illegal } kind;
  int offset;
  int value;     // note, instrument number or relative step
  int duration;  // in units; 0 for commands that take no time
};

Command ReadCommand(int p) {
  const int c = Byte(p);
  if (c == 0) return {Command::Rest, p, 0, Byte(p + 1)};
  if (c >= 1 && c <= 97) return {Command::Note, p, c, Byte(p + 1)};
  if (c == 98) return {Command::End, p, 0, 0};
  if (c == 100) return {Command::Instrument, p, Byte(p + 1), 0};
  if (c == 102) return {Command::Release, p, 0, Byte(p + 1)};
  if (c >= 128) return {Command::Relative, p, (c & 15) - 7, (c >> 4) - 7};
  return {Command::Illegal, p, c, 0};
}

int CommandLength(const Command& command) {
  return command.kind == Command::End || command.kind == Command::Relative ? 1 : 2;
}

// The commands of a track up to and including its end marker (or up to the
// first illegal byte, or to the end of the track's region).
std::vector<Command> TrackCommands(int track) {
  std::vector<Command> commands;
  for (int p = TrackStart(track); p < TrackEnd(track);) {
    const Command command = ReadCommand(p);
    commands.push_back(command);
    if (command.kind == Command::End || command.kind == Command::Illegal) break;
    p += CommandLength(command);
  }
  return commands;
}

bool IsTimed(const Command& command) {
  return command.kind == Command::Rest || command.kind == Command::Note ||
         command.kind == Command::Release || command.kind == Command::Relative;
}

bool StrikesNote(const Command& command) {
  return command.kind == Command::Note || command.kind == Command::Relative;
}

int TrackUnits(int track) {
  int units = 0;
  for (const Command& command : TrackCommands(track)) units += command.duration;
  return units;
}

// Instruments a track plays notes with: a row starts on instrument 0.
std::set<int> InstrumentsStruck(int track) {
  std::set<int> struck;
  int instrument = 0;
  for (const Command& command : TrackCommands(track)) {
    if (command.kind == Command::Instrument) instrument = command.value;
    if (StrikesNote(command)) struck.insert(instrument);
  }
  return struck;
}

std::set<int> TracksOnChannel(int channel) {
  std::set<int> tracks;
  for (int row = 0; row < RowCount; ++row) tracks.insert(OrderTrack(row, channel));
  return tracks;
}

int InstrumentProgram(int instrument) { return Byte(530 + 3 * instrument); }

std::vector<int> StepsOf(int program) {
  std::vector<int> steps;
  for (int p = ProgramStart(program); p + 3 < ProgramEnd(program); p += 4) steps.push_back(p);
  return steps;
}

int StepControl(int step) { return Byte(step + 3) >> 4; }
int StepWaves(int step) { return Byte(step + 1) >> 4; }

constexpr int Triangle = 1, Saw = 2, Pulse = 4, Noise = 8;

TEST(SongLayout, HeaderRegionsAndSize) {
  EXPECT_EQ(BuiltInSongSize, 915u);
  EXPECT_EQ(sizeof(BuiltInSong), 915u);
  EXPECT_EQ(Word(0), 0x1500);
  EXPECT_EQ(Word(2) - Base, 81);   // track table
  EXPECT_EQ(Word(4) - Base, 530);  // instruments
  EXPECT_EQ(Word(6) - Base, 551);  // program table
  EXPECT_EQ(Word(8) - Base, 913);  // tick rate
  EXPECT_EQ(Byte(10), 68);
  EXPECT_EQ(Byte(11), 5);
  EXPECT_EQ(Word(913), 50);

  // Tracks follow each other from offset 111 to 529 in table order, each
  // ending with its end marker just before the next begins.
  EXPECT_EQ(TrackStart(0), 111);
  for (int t = 0; t < TrackCount; ++t) {
    SCOPED_TRACE("track " + std::to_string(t));
    const std::vector<Command> commands = TrackCommands(t);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back().kind, Command::End);
    EXPECT_EQ(commands.back().offset, TrackEnd(t) - 1);
  }
  // Programs follow each other from 565 to 912 in whole 4-byte steps: 87.
  EXPECT_EQ(ProgramStart(0), 565);
  int steps = 0;
  for (int n = 0; n < ProgramCount; ++n) {
    EXPECT_GT(ProgramEnd(n), ProgramStart(n));
    EXPECT_EQ((ProgramEnd(n) - ProgramStart(n)) % 4, 0) << "program " << n;
    steps += static_cast<int>(StepsOf(n).size());
  }
  EXPECT_EQ(steps, 87);
}

TEST(SongLayout, FirstRowIsTheFixedOne) {
  const std::vector<int> order = {0, 1, 2};
  const std::vector<int> track0Head = {0x1C, 0x04};
  const std::vector<int> track1Head = {0x64, 0x01, 0x28, 0x02, 0x9A, 0x9B, 0x66, 0x02};
  const std::vector<int> track2 = {0x00, 0x40, 0x62};
  const std::vector<int> instruments = {0x00, 0x00, 0x90, 0x01, 0x40, 0x60};
  const std::vector<int> program0 = {0xB0, 0x40, 0x80, 0x00, 0x92, 0x40, 0x80, 0x00,
                                     0x85, 0x40, 0x80, 0x00, 0x80, 0x4F, 0x80, 0xE0};
  const std::vector<int> program1 = {0x80, 0x40, 0x50, 0x00, 0x80, 0x00, 0x00, 0xF0};
  auto bytesAt = [](int offset, std::size_t count) {
    return std::vector<int>(BuiltInSong + offset, BuiltInSong + offset + count);
  };
  EXPECT_EQ(bytesAt(12, 3), order);
  EXPECT_EQ(bytesAt(TrackStart(0), 2), track0Head);
  EXPECT_EQ(bytesAt(TrackStart(0) + 2, 15), std::vector<int>(15, 0xB7));
  EXPECT_EQ(Byte(TrackStart(0) + 17), 0x62);
  EXPECT_EQ(TrackEnd(0) - TrackStart(0), 18);
  EXPECT_EQ(bytesAt(TrackStart(1), 8), track1Head);
  EXPECT_EQ(bytesAt(TrackStart(2), 3), track2);
  EXPECT_EQ(TrackEnd(2) - TrackStart(2), 3);
  EXPECT_EQ(bytesAt(530, 6), instruments);
  EXPECT_EQ(bytesAt(ProgramStart(0), 16), program0);
  EXPECT_EQ(ProgramEnd(0) - ProgramStart(0), 16);
  EXPECT_EQ(bytesAt(ProgramStart(1), 8), program1);
  EXPECT_EQ(ProgramEnd(1) - ProgramStart(1), 8);
}

TEST(SongRules, TracksUseOnlyLegalWellPlacedCommands) {
  for (int t = 0; t < TrackCount; ++t) {
    SCOPED_TRACE("track " + std::to_string(t));
    const std::vector<Command> commands = TrackCommands(t);
    bool timed = false;
    bool pitched = false;
    for (std::size_t i = 0; i < commands.size(); ++i) {
      const Command& command = commands[i];
      SCOPED_TRACE("offset " + std::to_string(command.offset));
      EXPECT_NE(command.kind, Command::Illegal);
      if (IsTimed(command)) {
        timed = true;
        EXPECT_GE(command.duration, 1);
      }
      if (command.kind == Command::Instrument) {
        EXPECT_LT(command.value, InstrumentCount);
        ASSERT_LT(i + 1, commands.size());
        EXPECT_TRUE(IsTimed(commands[i + 1])) << "an instrument select needs a timed command after it";
      }
      // Every track sets its own pitch before moving by steps, so its notes
      // do not depend on the track played before it.
      if (command.kind == Command::Relative) {
        EXPECT_TRUE(pitched) << "relative note before any note";
      }
      if (command.kind == Command::Note) pitched = true;
    }
    EXPECT_TRUE(timed);
  }
}

TEST(SongRules, NotesStayInsideTheNoteRange) {
  for (int t = 0; t < TrackCount; ++t) {
    int base = 0;
    for (const Command& command : TrackCommands(t)) {
      if (command.kind == Command::Note) base = command.value;
      if (command.kind == Command::Relative) base += command.value;
      if (StrikesNote(command)) {
        EXPECT_GE(base, 1) << "track " << t << " offset " << command.offset;
        EXPECT_LE(base, 97) << "track " << t << " offset " << command.offset;
      }
    }
  }
}

TEST(SongRules, RowsLast32UnitsAndEveryPartIsUsed) {
  // 23 rows at byte positions 0 to 66 of the order list, the 69th byte unused.
  EXPECT_EQ((Byte(10) + 2) / 3, RowCount);
  std::set<int> used;
  for (int row = 0; row < RowCount; ++row)
    for (int channel = 0; channel < 3; ++channel) {
      EXPECT_LT(OrderTrack(row, channel), TrackCount);
      used.insert(OrderTrack(row, channel));
    }
  EXPECT_EQ(used.size(), static_cast<std::size_t>(TrackCount));

  // Channel 1 ends every row at 32 units; the other channels' tracks run to
  // 64 units, so their end markers are never reached.
  for (int t : TracksOnChannel(1)) EXPECT_EQ(TrackUnits(t), RowUnits) << "track " << t;
  for (int channel : {0, 2})
    for (int t : TracksOnChannel(channel)) EXPECT_EQ(TrackUnits(t), 2 * RowUnits) << "track " << t;
  for (int t : TracksOnChannel(1)) {
    EXPECT_EQ(TracksOnChannel(0).count(t), 0u) << "track " << t;
    EXPECT_EQ(TracksOnChannel(2).count(t), 0u) << "track " << t;
  }

  std::set<int> instruments;
  for (int t = 0; t < TrackCount; ++t)
    for (int i : InstrumentsStruck(t)) instruments.insert(i);
  EXPECT_EQ(instruments.size(), static_cast<std::size_t>(InstrumentCount));
  std::set<int> programs;
  for (int i = 0; i < InstrumentCount; ++i) programs.insert(InstrumentProgram(i));
  EXPECT_EQ(programs.size(), static_cast<std::size_t>(ProgramCount));
  EXPECT_LT(*programs.rbegin(), ProgramCount);
}

TEST(SongRules, ProgramsEndProperlyAndNeverSelectTheSaw) {
  for (int n = 0; n < ProgramCount; ++n) {
    SCOPED_TRACE("program " + std::to_string(n));
    const std::vector<int> steps = StepsOf(n);
    ASSERT_FALSE(steps.empty());
    EXPECT_NE(StepControl(steps.front()), 15);
    const int last = StepControl(steps.back());
    EXPECT_TRUE(last == 14 || last == 15);
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
      EXPECT_NE(StepControl(steps[i]), 15) << "a loop marker can only end a program";
      EXPECT_NE(StepControl(steps[i]), 14) << "steps after a stop step are never reached";
    }
    for (int step : steps)
      if (StepControl(step) != 15) {
        EXPECT_EQ(StepWaves(step) & Saw, 0) << "step at " << step;
      }
  }
}

// The channel-2 instruments are the drums: pitch-swept triangle and noise.
TEST(SongRules, DrumsComeInFromTheSecondRow) {
  std::set<int> drums;
  for (int t : TracksOnChannel(2))
    for (int i : InstrumentsStruck(t)) drums.insert(i);
  EXPECT_EQ(InstrumentsStruck(OrderTrack(0, 2)).size(), 0u);
  EXPECT_GE(drums.size(), 3u);

  bool sweptTriangle = false;
  bool noise = false;
  for (int instrument : drums) {
    std::set<int> offsets;
    int waves = 0;
    for (int step : StepsOf(InstrumentProgram(instrument))) {
      waves |= StepWaves(step);
      if (StepWaves(step) != 0) offsets.insert(Byte(step) - 128);
    }
    EXPECT_EQ(waves & (Saw | Pulse), 0) << "instrument " << instrument;
    if (waves == Triangle && offsets.size() >= 4) sweptTriangle = true;
    if (waves & Noise) noise = true;
  }
  EXPECT_TRUE(sweptTriangle);
  EXPECT_TRUE(noise);
}

// Plays one pass and checks that no row is silent, that the drum channel
// stays idle through row 0 and sounds in row 1, and that a pass takes
// 23 rows of 160 ticks.
TEST(SongPlayback, EveryRowSoundsAndTheDrumsStartInRowOne) {
  constexpr std::uint32_t Rate = 8000;  // 160 samples per tick
  Synth s;
  ASSERT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, Rate), "");
  EXPECT_EQ(SongLoopSamples(s), static_cast<std::int64_t>(RowCount) * (160 * 160 + 1));

  const int rowSamples = 160 * 160;
  std::vector<std::int16_t> row(rowSamples);
  for (int r = 0; r < RowCount; ++r) {
    RenderSamples(s, row.data(), rowSamples);
    double sum = 0;
    for (std::int16_t x : row) sum += static_cast<double>(x) * x;
    EXPECT_GT(std::sqrt(sum / rowSamples), 2000.0) << "row " << r;
    if (r == 0) {
      EXPECT_EQ(s.Channels[2].EnvPhase, EnvelopePhase::Idle);
    }
    if (r == 1) {
      EXPECT_NE(s.Channels[2].EnvPhase, EnvelopePhase::Idle);
    }
    std::int16_t extra;
    RenderSamples(s, &extra, 1);  // the first tick of each new row comes one sample late
  }
}

}  // namespace
