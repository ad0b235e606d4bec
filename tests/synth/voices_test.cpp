// Note tables, envelope, generators and mixer.
#include <gtest/gtest.h>

#include <cstdlib>

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
  EXPECT_EQ(s.NoteStep[1], 11084);
  EXPECT_EQ(s.NoteStep[60], 334783);
  EXPECT_EQ(s.NoteStep[97], 2837526);
  EXPECT_EQ(s.NotePeriod[1], 774979);
  EXPECT_EQ(s.NotePeriod[60], 25658);
  EXPECT_EQ(s.NotePeriod[97], 3027);
}

TEST(NoteTables, OctavesDoubleTheStepAndHalveThePeriod) {
  const Synth s = WithTables(48000);
  for (int n = 1; n + 12 <= HighestNote; ++n) {
    EXPECT_NEAR(static_cast<double>(s.NoteStep[n + 12]) / s.NoteStep[n], 2.0, 1e-3) << n;
    EXPECT_NEAR(static_cast<double>(s.NotePeriod[n]) / s.NotePeriod[n + 12], 2.0, 1e-3) << n;
  }
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

TEST(Envelope, AttackRateZeroRisesOver88Samples) {
  Synth s = OneNote(44100, 0x00, 0x90);
  std::int16_t sample;
  RenderSamples(s, &sample, 1);
  EXPECT_EQ(s.Channels[0].Level, 372);
  for (int n = 2; n <= 88; ++n) RenderSamples(s, &sample, 1);
  EXPECT_EQ(s.Channels[0].EnvPhase, EnvelopePhase::Attack);
  EXPECT_LT(s.Channels[0].Level, 32767);
  RenderSamples(s, &sample, 1);  // the 89th
  EXPECT_EQ(s.Channels[0].EnvPhase, EnvelopePhase::Decay);
  EXPECT_EQ(s.Channels[0].Level, 32767);
}

TEST(Envelope, SustainLevelsAreFifteenthsOfFullScale) {
  const std::int16_t expected[16] = {0,     2184,  4368,  6553,  8737,  10922, 13106, 15291,
                                     17475, 19660, 21844, 24029, 26213, 28398, 30582, 32767};
  for (int level = 0; level < 16; ++level) {
    Synth s = OneNote(44100, 0x00, static_cast<std::uint8_t>(level << 4));
    s.Channels[0].EnvPhase = EnvelopePhase::Sustain;
    EnvelopeStep(s, 0);
    EXPECT_EQ(s.Channels[0].Level, expected[level]) << level;
  }
}

TEST(Envelope, DecayEndsWhenTheFasterCurveReachesSustainThenDropsToIt) {
  // Rate 5000 Hz: attack 10 samples. Decay rate 0 tests against a curve that
  // halves after 1.875 samples, so sustain level 9 is reached 2 samples into
  // the decay, while the heard curve (halving after 6 samples) is at 6/7.
  Synth s = OneNote(5000, 0x00, 0x90);
  std::int16_t sample[10];
  RenderSamples(s, sample, 10);
  ASSERT_EQ(s.Channels[0].EnvPhase, EnvelopePhase::Decay);
  EXPECT_EQ(s.Channels[0].Level, 32767);
  RenderSamples(s, sample, 1);
  EXPECT_EQ(s.Channels[0].EnvPhase, EnvelopePhase::Decay);
  EXPECT_EQ(s.Channels[0].Level, 28086);
  RenderSamples(s, sample, 1);
  EXPECT_EQ(s.Channels[0].EnvPhase, EnvelopePhase::Sustain);
  EXPECT_EQ(s.Channels[0].Level, 19660);
}

TEST(Envelope, ReleaseStartsOnlyFromSustain) {
  // 5000 Hz and 50 ticks per second: a tick is 100 samples. The release
  // command is read on the first tick.
  const std::vector<std::uint8_t> track = {60, 0x01, 0x66, 0x01, 0x00, 0xFF, 0x62};

  // Attack rate 12 lasts 1 s: the release arrives during the attack and is
  // lost; the envelope passes through decay into sustain and stays there.
  Synth slow = OneNote(5000, 0xC0, 0x90, track);
  std::vector<std::int16_t> out(6000);
  RenderSamples(slow, out.data(), 101);
  EXPECT_EQ(slow.Channels[0].EnvPhase, EnvelopePhase::Attack);
  RenderSamples(slow, out.data(), 6000);
  EXPECT_EQ(slow.Channels[0].EnvPhase, EnvelopePhase::Sustain);
  EXPECT_EQ(slow.Channels[0].Level, 19660);

  // Attack rate 0: in sustain by the first tick, so the release takes hold
  // and, with release rate 0 (6 samples at 5000 Hz), halves the level after
  // 6 samples (the tick's own sample is the first).
  Synth fast = OneNote(5000, 0x00, 0x90, track);
  RenderSamples(fast, out.data(), 101);
  EXPECT_EQ(fast.Channels[0].EnvPhase, EnvelopePhase::Release);
  RenderSamples(fast, out.data(), 5);
  EXPECT_EQ(fast.Channels[0].EnvTime, 6);
  EXPECT_EQ(fast.Channels[0].Level, 9830);
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

TEST(Voices, SawWrapsAboveFullScaleAtThreeQuartersOfThePhase) {
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
}

TEST(Voices, PhaseAdvancesModulo2To25) {
  Synth s = FixedStep(32767, 1 << 24);
  s.Channels[0].OscPhase = (1u << 25) - 256;
  SawVoice(s, 0);
  EXPECT_EQ(s.Channels[0].OscPhase, (1u << 24) - 256);
  TriangleVoice(s, 0);
  EXPECT_EQ(s.Channels[0].OscPhase, (1u << 25) - 256);
}

TEST(Voices, TriangleOnNote60IsContinuousWithinHalfTheLevel) {
  Synth s = WithTables(44100);
  s.Channels[0].Note = 60;
  s.Channels[0].Level = 32767;
  int previous = TriangleVoice(s, 0), low = previous, high = previous, crossings = 0;
  for (int i = 0; i < 44100; ++i) {
    const int v = TriangleVoice(s, 0);
    EXPECT_LE(std::abs(v - previous), 660) << i;  // 32767 / 50.1 per sample
    if (previous < 0 && v >= 0) ++crossings;
    low = std::min(low, v);
    high = std::max(high, v);
    previous = v;
  }
  EXPECT_EQ(low, -16383);
  EXPECT_EQ(high, 16383);
  EXPECT_NEAR(crossings, 440, 1);
}

TEST(Voices, PulseWidth2048IsASquareWaveOfTheNotePeriod) {
  Synth s = WithTables(44100);
  ChannelState& c = s.Channels[0];
  c.Note = 60;
  c.Level = 1000;
  c.PulseWidth = 2048;
  c.EnvPhase = EnvelopePhase::Sustain;
  int high = 0;
  for (int i = 0; i < 25658; ++i) {  // 256 periods of 100.2 samples
    c.PulseTime += 256;
    const int v = PulseVoice(s, 0);
    ASSERT_TRUE(v == 1000 || v == -1000);
    high += v > 0;
  }
  EXPECT_NEAR(high, 25658 / 2, 256);

  c.EnvPhase = EnvelopePhase::Idle;
  EXPECT_EQ(PulseVoice(s, 0), 0);
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
