// Note tables, envelope, generators and mixer. The triangle and pulse shapes
// are heard in the built-in song, whose every sample golden_song_test.cpp
// checks; here are the rules it does not reach or that must be seen to hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include "raster/random.h"
#include "song_builder.h"
#include "synth/dxvornik.h"

namespace {

Synth WithTables(std::uint32_t rate) {
  Synth s;
  s.SampleRate = rate;
  BuildNoteTables(s);
  return s;
}

TEST(NoteTables, MatchTheReferenceValuesAt44100) {
  const Synth s = WithTables(44100);
  const std::int64_t steps[] = {s.NoteStep[1], s.NoteStep[60], s.NoteStep[97]};
  const std::int64_t periods[] = {s.NotePeriod[1], s.NotePeriod[60], s.NotePeriod[97]};
  EXPECT_THAT(steps, ::testing::ElementsAre(11084, 334783, 2837526));
  EXPECT_THAT(periods, ::testing::ElementsAre(774979, 25658, 3027));
}

// One channel striking note 60 with instrument 0 (given as bytes 1 and 2 of
// its record); the other channels rest.
Synth OneNote(std::uint32_t rate, std::uint8_t rates, std::uint8_t levels,
              std::vector<std::uint8_t> track = {60, 0xFF, 0x62}) {
  SongPlan plan = QuietSong();
  plan.Tracks[0] = std::move(track);
  plan.Instruments = {{0x00, rates, levels}};
  Synth s;
  EXPECT_EQ(StartSynth(s, BuildSong(plan).Bytes, rate), "");
  return s;
}

struct EnvelopeAt {
  EnvelopePhase Phase;
  std::int16_t Level;
  bool operator==(const EnvelopeAt&) const = default;
};
void PrintTo(const EnvelopeAt& e, std::ostream* os) { *os << static_cast<int>(e.Phase) << "/" << e.Level; }

// Renders `samples` more samples; the envelope of channel 0 afterwards.
EnvelopeAt After(Synth& s, std::int32_t samples) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(samples));
  RenderSamples(s, out.data(), samples);
  return {s.Channels[0].EnvPhase, s.Channels[0].Level};
}

TEST(Envelope, AttackThenDecayToSustain) {
  // Attack rate 0 at 44,100 Hz: 88.2 samples, counting the note's own sample as the first.
  Synth s = OneNote(44100, 0x00, 0x90);
  EXPECT_EQ(After(s, 1), (EnvelopeAt{EnvelopePhase::Attack, 372}));
  EXPECT_EQ(After(s, 87).Phase, EnvelopePhase::Attack);
  EXPECT_EQ(After(s, 1), (EnvelopeAt{EnvelopePhase::Decay, 32767}));  // the 89th

  // At 5000 Hz the attack takes 10 samples. Decay rate 0 tests against a
  // curve that halves after 1.875 samples, so sustain level 9 is reached 2
  // samples into the decay, while the heard curve (halving after 6) is at 6/7.
  Synth fast = OneNote(5000, 0x00, 0x90);
  EXPECT_EQ(After(fast, 10), (EnvelopeAt{EnvelopePhase::Decay, 32767}));
  EXPECT_EQ(After(fast, 1), (EnvelopeAt{EnvelopePhase::Decay, 28086}));
  EXPECT_EQ(After(fast, 1), (EnvelopeAt{EnvelopePhase::Sustain, 19660}));
}

TEST(Envelope, ReleaseStartsOnlyFromSustain) {
  // 5000 Hz, 100 samples per tick; the release is read on the first tick.
  const std::vector<std::uint8_t> track = {60, 0x01, 0x66, 0x01, 0x00, 0xFF, 0x62};
  // Attack rate 12 lasts 1 s: the release arrives during the attack and is
  // lost; the envelope passes through decay into sustain and stays there.
  Synth slow = OneNote(5000, 0xC0, 0x90, track);
  EXPECT_EQ(After(slow, 101).Phase, EnvelopePhase::Attack);
  EXPECT_EQ(After(slow, 6000), (EnvelopeAt{EnvelopePhase::Sustain, 19660}));
  // Attack rate 0: in sustain by the first tick, so the release takes hold
  // and with release rate 0 halves the level after 6 samples.
  Synth fast = OneNote(5000, 0x00, 0x90, track);
  EXPECT_EQ(After(fast, 101).Phase, EnvelopePhase::Release);
  EXPECT_EQ(After(fast, 5), (EnvelopeAt{EnvelopePhase::Release, 9830}));
  EXPECT_EQ(fast.Channels[0].EnvTime, 6);
}

// A channel with a fixed phase step, so the tests choose the phase directly.
Synth FixedStep(std::int16_t level, std::int64_t step) {
  Synth s = WithTables(44100);
  s.NoteStep[1] = step;
  s.Channels[0].Note = 1;
  s.Channels[0].Level = level;
  s.Channels[0].EnvPhase = EnvelopePhase::Sustain;
  return s;
}

TEST(Voices, SawWrapsAboveFullScaleAndThePhaseAt2To25) {
  Synth s = FixedStep(32767, 0);
  auto sawAt = [&](std::uint32_t t) {
    s.Channels[0].OscPhase = t << 8;
    return SawVoice(s, 0);
  };
  EXPECT_EQ(sawAt(0), -16383);
  EXPECT_EQ(sawAt(98306), 32767);
  EXPECT_EQ(sawAt(98307), -32768);  // 32768.5 wraps
  EXPECT_EQ(sawAt(131071), -16386);

  Synth quiet = FixedStep(21845, 0);
  quiet.Channels[0].OscPhase = 131071u << 8;
  EXPECT_EQ(SawVoice(quiet, 0), 32767);  // no wrap up to level 21845

  // The phase itself wraps at 2^25.
  Synth fast = FixedStep(32767, 1 << 24);
  fast.Channels[0].OscPhase = (1u << 25) - 256;
  SawVoice(fast, 0);
  EXPECT_EQ(fast.Channels[0].OscPhase, (1u << 24) - 256);
}

TEST(Voices, NoiseDrawsOnceEveryWrapOf2To21) {
  Synth s = FixedStep(32767, 1 << 20);
  RandomSeed = 0;
  EXPECT_EQ(NoiseVoice(s, 0), 0);       // phase 2^20: nothing drawn yet
  EXPECT_EQ(NoiseVoice(s, 0), 32766);   // first draw: 0, value 32767
  EXPECT_EQ(s.Channels[0].OscPhase, 0u);
  EXPECT_EQ(NoiseVoice(s, 0), 32766);   // held
  EXPECT_EQ(NoiseVoice(s, 0), 30710);   // second draw: 2056, value 30711
  EXPECT_EQ(RandomSeed.load(), 134775814u);

  s.Channels[0].NoiseValue = -32767;
  s.Channels[0].OscPhase = 0;
  s.Channels[0].Level = 3;
  EXPECT_EQ(NoiseVoice(s, 0), -2);  // -2.99997 truncates toward zero
}

TEST(Voices, LaterGeneratorWinsAndAnEmptySetHoldsTheLastValue) {
  // Step 0: triangle and saw for 2 ticks; step 1: no generator, for good.
  // 100 samples per tick.
  SongPlan plan = QuietSong();
  plan.Tracks[0] = {60, 0xFF, 0x62};
  plan.Programs = {{0x80, 0x31, 0x00, 0x00, 0x80, 0x0F, 0x00, 0xE0}};
  Synth s;
  ASSERT_EQ(StartSynth(s, BuildSong(plan).Bytes, 5000), "");
  std::vector<std::int16_t> out(200);
  RenderSamples(s, out.data(), 50);
  // Both generators advance the shared phase: twice the note's step.
  EXPECT_EQ(s.Channels[0].OscPhase, (2 * 50 * s.NoteStep[60]) % (1 << 25));
  Synth sawOnly = s;
  sawOnly.Channels[0].OscPhase -= static_cast<std::uint32_t>(s.NoteStep[60]);
  EXPECT_EQ(s.Channels[0].Output, SawVoice(sawOnly, 0));

  RenderSamples(s, out.data(), 151);  // through the second tick
  const std::int32_t held = s.Channels[0].Output;
  RenderSamples(s, out.data(), 200);
  for (std::int16_t sample : out) ASSERT_EQ(sample, held / 3);
  EXPECT_NE(held, 0);
}

TEST(Mixer, AveragesThreeChannelsTruncatingTowardZero) {
  Synth s;
  ASSERT_EQ(StartSynth(s, BuildSong(QuietSong()).Bytes, 44100), "");
  struct Case { std::int32_t a, b, c; std::int16_t mixed; } cases[] = {
      {32767, 32767, 32767, 32767}, {-32768, -32768, -32768, -32768},
      {1, 1, 0, 0},                 {-1, -1, 0, 0},
      {32767, -32768, 4, 1},
  };
  for (const Case& m : cases) {
    // Idle channels with no generator keep whatever they output last.
    s.Channels[0].Output = m.a;
    s.Channels[1].Output = m.b;
    s.Channels[2].Output = m.c;
    std::int16_t sample = 123;
    RenderSamples(s, &sample, 1);
    EXPECT_EQ(sample, m.mixed) << m.a << " " << m.b << " " << m.c;
  }
}

}  // namespace
