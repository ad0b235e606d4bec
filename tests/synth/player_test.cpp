// The player on hand-made images: rows and tracks, instrument selects,
// envelope and generators. The built-in song's timing, note tables, envelopes,
// triangle, pulse, noise and mix are heard in every sample golden_song_test.cpp
// checks; here are the rules it does not reach or that must be seen to hold.
#include <gtest/gtest.h>

#include <tuple>

#include "song_builder.h"

namespace {

// A synthesizer started on the plan's image.
Synth Started(const SongPlan& plan, std::uint32_t rate = 5000) {
    Synth s;
    EXPECT_EQ(StartSynth(s, BuildSong(plan).Bytes, rate), "");
    return s;
}

// Renders `samples` more samples; the envelope phase of channel 0 afterwards.
EnvelopePhase After(Synth& s, std::int64_t samples) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(samples));
    RenderSamples(s, out.data(), static_cast<std::int32_t>(samples));
    return s.Channels[0].EnvPhase;
}

TEST(Sequencer, RowsFollowTheOrderListAndEndAtTheFirstEndMarker) {
    // Unit 2 ticks. Track 1 ends after 3 units (an instrument select takes no
    // time, a relative note A7 lasts 3 units), track 3 after 1; the 255-unit
    // rests never finish. Order length 5 plays the rows at 0 and 3.
    SongPlan plan = QuietSong();
    plan.DurationUnit = 2;
    plan.Rows = {{0, 1, 2}, {2, 0, 3}};
    plan.OrderLength = 5;
    plan.Tracks.push_back({0x00, 0x01, 0x62});
    plan.Tracks[1] = {0x64, 0x01, 0xA7, 0x62};
    plan.Instruments.push_back(plan.Instruments[0]);
    Synth s = Started(plan, 500);  // 10 samples per tick
    std::int16_t guard = 77;       // counts of 0 or less write nothing and move nothing
    RenderSamples(s, &guard, 0);
    RenderSamples(s, &guard, -5);
    EXPECT_EQ(guard, 77);
    // Each row's first tick comes one sample late.
    const std::int64_t rows[] = {3 * 2 * 10 + 1, 1 * 2 * 10 + 1};
    EXPECT_EQ(SongLoopSamples(s), rows[0] + rows[1]);
    for (int step = 0; step < 3; ++step) {
        After(s, rows[step % 2] - 1);
        EXPECT_EQ(s.Channels[2].OrderPos, step % 2 == 0 ? 0 : 3) << step;
        After(s, 1);
        EXPECT_EQ(s.Channels[2].OrderPos, step % 2 == 0 ? 3 : 0) << step;
    }
}

// Instrument 0 plays program 0 (square wave, hold `hold`, stop); track 0
// strikes note 40 for 2 ticks, then selects instrument 1 (program 1, width
// 1024, sustain 6) and rests. 100 samples per tick.
Synth SelectAfterNote(std::uint8_t hold) {
    SongPlan plan = QuietSong();
    plan.Tracks[0] = {40, 0x02, 0x64, 0x01, 0x00, 0x0A, 0x62};
    plan.Instruments = {{0x00, 0x00, 0xF0}, {0x01, 0x00, 0x60}};
    plan.Programs = {{0x80, static_cast<std::uint8_t>(0x40 | hold), 0x80, 0xE0}, {0x80, 0x40, 0x40, 0xE0}};
    return Started(plan);
}

TEST(Sequencer, InstrumentSelectWaitsForTheStepAndDoesNotRestart) {
    Synth s = SelectAfterNote(0);
    const ChannelState& c = s.Channels[0];
    After(s, 200);
    ASSERT_EQ(c.EnvPhase, EnvelopePhase::Sustain);
    EXPECT_EQ(c.Level, 32767);
    const std::int64_t sustainTime = c.EnvTime;
    After(s, 1);  // second tick: select, rest; the program's wait is over
    EXPECT_EQ(c.InstrumentIndex, 1);
    EXPECT_EQ(c.PulseWidth, 1024);
    EXPECT_EQ(c.EnvPhase, EnvelopePhase::Sustain);
    EXPECT_EQ(c.EnvTime, sustainTime + 1);
    EXPECT_EQ(c.Level, 13106);  // the running envelope follows sustain level 6

    Synth held = SelectAfterNote(5);  // the step holds for 6 ticks
    After(held, 501);
    EXPECT_EQ(held.Channels[0].InstrumentIndex, 1);
    EXPECT_EQ(held.Channels[0].PulseWidth, 2048);
    After(held, 100);
    EXPECT_EQ(held.Channels[0].PulseWidth, 1024);
}

TEST(Sequencer, RelativeNotesWrapTheBaseNoteAndClampTheSoundingNote) {
    SongPlan plan = QuietSong();
    plan.Tracks[0] = {3, 0x01, 0x80, 0x62};  // note 3, then 0x80: -7 for 1 unit
    plan.Programs = {{0x00, 0x40, 0x80, 0x00, 0x80, 0x40, 0x80, 0xF0}};
    Synth s = Started(plan);
    EXPECT_EQ(s.Channels[0].Note, 1);  // 3 - 128 clamps to 1
    After(s, 101);
    EXPECT_EQ(s.Channels[0].BaseNote, 252);
    EXPECT_EQ(s.Channels[0].Note, 97);  // 252 - 128 = 124 clamps to 97
    EXPECT_EQ(s.Channels[0].DurationLeft, 1);
}

TEST(Envelope, ReleaseStartsOnlyFromSustain) {
    // Note 60, released on the first tick; 5000 Hz, 100 samples per tick.
    SongPlan plan = QuietSong();
    plan.Tracks[0] = {60, 0x01, 0x66, 0x01, 0x00, 0xFF, 0x62};
    // Attack rate 12 lasts 1 s: the release arrives during the attack and is
    // lost; the envelope passes through decay into sustain and stays there.
    plan.Instruments = {{0x00, 0xC0, 0x90}};
    Synth slow = Started(plan);
    EXPECT_EQ(After(slow, 101), EnvelopePhase::Attack);
    EXPECT_EQ(After(slow, 6000), EnvelopePhase::Sustain);
    EXPECT_EQ(slow.Channels[0].Level, 19660);
    // Attack rate 0: in sustain by the first tick, so the release takes hold
    // and with release rate 0 halves the level after 6 samples.
    plan.Instruments = {{0x00, 0x00, 0x90}};
    Synth fast = Started(plan);
    EXPECT_EQ(After(fast, 101), EnvelopePhase::Release);
    EXPECT_EQ(After(fast, 5), EnvelopePhase::Release);
    EXPECT_EQ(fast.Channels[0].Level, 9830);
    EXPECT_EQ(fast.Channels[0].EnvTime, 6);
}

// A channel with a fixed phase step, so the tests choose the phase directly.
Synth FixedStep(std::int16_t level, std::int64_t step) {
    Synth s;
    s.NoteStep[1] = step;
    s.Channels[0].Note = 1;
    s.Channels[0].Level = level;
    s.Channels[0].EnvPhase = EnvelopePhase::Sustain;
    return s;
}

TEST(Voices, SawWrapsAboveFullScaleAndThePhaseAt2To25) {
    // (level, phase / 256, value): 32768.5 wraps; no wrap up to level 21845.
    const std::tuple<std::int16_t, std::uint32_t, std::int16_t> cases[] = {{32767, 0, -16383},
                                                                           {32767, 98306, 32767},
                                                                           {32767, 98307, -32768},
                                                                           {32767, 131071, -16386},
                                                                           {21845, 131071, 32767}};
    for (const auto& [level, t, value] : cases) {
        Synth s = FixedStep(level, 0);
        s.Channels[0].OscPhase = t << 8;
        EXPECT_EQ(SawVoice(s, 0), value) << level << " at " << t;
    }
    // The phase itself wraps at 2^25.
    Synth fast = FixedStep(32767, 1 << 24);
    fast.Channels[0].OscPhase = (1u << 25) - 256;
    SawVoice(fast, 0);
    EXPECT_EQ(fast.Channels[0].OscPhase, (1u << 24) - 256);
}

// An empty set holding the last value is heard in the built-in song's snare.
TEST(Voices, GeneratorsOfAStepShareThePhaseAndTheLaterWins) {
    // Triangle and saw for 2 ticks of 100 samples.
    SongPlan plan = QuietSong();
    plan.Tracks[0] = {60, 0xFF, 0x62};
    plan.Programs = {{0x80, 0x31, 0x00, 0xE0}};
    Synth s = Started(plan);
    After(s, 50);
    // Both generators advance the shared phase: twice the note's step.
    EXPECT_EQ(s.Channels[0].OscPhase, (2 * 50 * s.NoteStep[60]) % (1 << 25));
    Synth sawOnly = s;
    sawOnly.Channels[0].OscPhase -= static_cast<std::uint32_t>(s.NoteStep[60]);
    EXPECT_EQ(s.Channels[0].Output, SawVoice(sawOnly, 0));
}

}  // namespace
