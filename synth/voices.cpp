// Note tables, the ADSR envelope, the four generators and the mixer.
#include <cstdio>
#include <numbers>
#include <string>

#include "dxvornik.h"
#include "image_access.h"
#include "base/numeric.h"
#include "base/random.h"

// clang-format off
const std::int32_t AttackTimes[16] = {
    2,   8,   16,  24,   38,   56,   68,   80,  //
    100, 240, 500, 800, 1000, 3000, 5000, 8000,
};
// clang-format on
// clang-format off
const std::int32_t DecayReleaseTimes[16] = {
    6,   24,   48,   72,   114,  168,  204,   240,  //
    300, 750, 1500, 2400, 3000, 9000, 15000, 24000,
};
// clang-format on

namespace {

constexpr std::uint32_t PhaseMask25 = (1u << 25) - 1;
constexpr std::uint32_t NoisePhaseLimit = 1u << 21;
constexpr double FullLevel = 32767.0;

// Frequency of note n: 440 Hz at note 60, twelve notes to the octave.
double NoteFrequency(int note) {
    return Exponential(std::numbers::ln2 * (note - 60) / 12) * 440;
}

std::int64_t NotePeriodAt(std::uint32_t sampleRate, int note) {
    const auto scaled = static_cast<std::uint64_t>(sampleRate) * 256;
    return Round64(static_cast<double>(scaled) / NoteFrequency(note));
}

std::int32_t SustainTarget(const ChannelState& c) {
    return c.SustainLevel * 32767 / 15;
}

// A hyperbolic fall from `from` that halves after `halfTime` samples.
std::int32_t Hyperbola(std::int64_t time, double halfTime, double from) {
    return Round((1.0 / (1.0 + static_cast<double>(time) / halfTime)) * from);
}

}  // namespace

std::string CheckSampleRate(const Synth& s) {
    const unsigned ticksPerSecond = s.Layout.TicksPerSecond;
    if (ticksPerSecond == 0) return "the tick rate is 0 ticks per second";
    const std::uint32_t samplesPerTick = s.SampleRate / ticksPerSecond;
    char text[200];
    if (samplesPerTick == 0 || samplesPerTick > 65535) {
        std::snprintf(text, sizeof text,
                      "a sample rate of %u Hz gives %u samples per tick at %u ticks per second; "
                      "a tick must last 1 to 65535 samples",
                      unsigned{s.SampleRate}, unsigned{samplesPerTick}, ticksPerSecond);
        return text;
    }
    // The pulse wraps its clock modulo the note period.
    if (NotePeriodAt(s.SampleRate, HighestNote) < 1) {
        std::snprintf(text, sizeof text,
                      "a sample rate of %u Hz is too low: the highest note's period rounds to 0",
                      unsigned{s.SampleRate});
        return text;
    }
    return "";
}

std::string StartSynth(Synth& s, std::span<const std::uint8_t> image, std::uint32_t sampleRate) {
    s = Synth{};
    s.SongBytes.assign(image.begin(), image.end());
    if (std::string problem = LoadSongLayout(s); !problem.empty()) return problem;
    s.SampleRate = sampleRate;
    if (std::string problem = CheckSampleRate(s); !problem.empty()) return problem;
    BuildNoteTables(s);
    InitChannels(s);
    return "";
}

void BuildNoteTables(Synth& s) {
    for (int n = LowestNote; n <= HighestNote; ++n) s.NotePeriod[n] = NotePeriodAt(s.SampleRate, n);
    for (int n = LowestNote; n <= HighestNote; ++n)
        s.NoteStep[n] = Round64(NoteFrequency(n) * 33554432 / s.SampleRate);
    // The envelope reads these every sample; they change only with the rate.
    const double rate = s.SampleRate;
    for (int r = 0; r < 16; ++r) {
        s.AttackLength[r] = (AttackTimes[r] / 1000.0) * rate;
        s.DecayTestLength[r] = DecayReleaseTimes[r] * (rate / 16000);
        s.FallLength[r] = DecayReleaseTimes[r] * (rate / 5000);
    }
}

void EnvelopeStep(Synth& s, int channel) {
    ChannelState& c = s.Channels[channel];
    const double lenA = s.AttackLength[c.AttackRate];
    if (c.EnvPhase == EnvelopePhase::Attack) {
        if (static_cast<double>(c.EnvTime) / lenA >= 1.0) {
            c.EnvPhase = EnvelopePhase::Decay;
            c.EnvTime = 0;
        }
    } else if (c.EnvPhase == EnvelopePhase::Decay) {
        // The end test falls 3.2 times faster than the heard level, which then
        // drops straight to the sustain level.
        if (SustainTarget(c) >= Hyperbola(c.EnvTime, s.DecayTestLength[c.DecayRate], FullLevel)) {
            c.EnvPhase = EnvelopePhase::Sustain;
            c.EnvTime = 0;
        }
    }
    switch (c.EnvPhase) {
        case EnvelopePhase::Attack:
            c.Level = static_cast<std::int16_t>(Round((static_cast<double>(c.EnvTime) / lenA) * FullLevel));
            break;
        case EnvelopePhase::Decay:
            c.Level = static_cast<std::int16_t>(Hyperbola(c.EnvTime, s.FallLength[c.DecayRate], FullLevel));
            break;
        case EnvelopePhase::Sustain:
            c.Level = static_cast<std::int16_t>(SustainTarget(c));
            break;
        case EnvelopePhase::Release:
            c.Level = static_cast<std::int16_t>(
                Hyperbola(c.EnvTime, s.FallLength[c.ReleaseRate], SustainTarget(c)));
            break;
        case EnvelopePhase::Idle:
            break;
    }
}

std::int16_t TriangleVoice(Synth& s, int channel) {
    ChannelState& c = s.Channels[channel];
    c.OscPhase = static_cast<std::uint32_t>(
        (std::uint64_t{c.OscPhase} + static_cast<std::uint64_t>(s.NoteStep[c.Note])) & PhaseMask25);
    const std::int64_t t = c.OscPhase >> 8;
    const std::int64_t level = c.Level;
    if (t < 65536) return static_cast<std::int16_t>(level * (t - 32768) / 65536);
    return static_cast<std::int16_t>(level * (98304 - t) / 65536);
}

std::int16_t SawVoice(Synth& s, int channel) {
    ChannelState& c = s.Channels[channel];
    c.OscPhase = static_cast<std::uint32_t>(
        (std::uint64_t{c.OscPhase} + static_cast<std::uint64_t>(s.NoteStep[c.Note])) & PhaseMask25);
    const std::int64_t ramp = std::int64_t{c.Level} * ((c.OscPhase >> 8) - std::int64_t{32768}) / 65536;
    // Above 32767 the ramp wraps to negative: the low 16 bits are the sample.
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(ramp));
}

std::int16_t PulseVoice(Synth& s, int channel) {
    ChannelState& c = s.Channels[channel];
    if (c.EnvPhase == EnvelopePhase::Idle) return 0;
    const std::int64_t period = s.NotePeriod[c.Note];
    if (!c.PulseLowHalf) {
        const double threshold = static_cast<double>(period * c.PulseWidth) / 4095;
        if (static_cast<double>(c.PulseTime) >= threshold) c.PulseLowHalf = true;
    } else if (c.PulseTime >= period) {
        c.PulseLowHalf = false;
        c.PulseTime %= period;
    }
    return static_cast<std::int16_t>(c.PulseLowHalf ? -c.Level : c.Level);
}

std::int16_t NoiseVoice(Synth& s, int channel) {
    ChannelState& c = s.Channels[channel];
    c.OscPhase += static_cast<std::uint32_t>(s.NoteStep[c.Note]);
    if (c.OscPhase >= NoisePhaseLimit) {
        const auto draw = static_cast<std::int32_t>(RandomBelow(RandomSeed, 65536));
        c.NoiseValue = static_cast<std::int16_t>(32767 - draw);
        c.OscPhase &= NoisePhaseLimit - 1;
    }
    return static_cast<std::int16_t>(std::int32_t{c.Level} * c.NoiseValue / 32768);
}

namespace {

// The first part of a channel's sample. Returns false when the channel ends
// the row, which ends the channel loop of this sample.
bool TickClock(Synth& s, int channel, std::uint32_t samplesPerTick) {
    ChannelState& c = s.Channels[channel];
    if (c.TickCount != samplesPerTick) return true;
    c.TickCount = 0;
    --c.DurationLeft;
    if (c.DurationLeft == 0) {
        if (ImageByte(s, c.TrackPos) == EndOfTrack) {
            s.RowEnded = true;
            return false;
        }
        SequenceStep(s, channel);
    }
    ProgramStep(s, channel);
    return true;
}

void ChannelSample(Synth& s, int channel) {
    ChannelState& c = s.Channels[channel];
    if (c.EnvPhase != EnvelopePhase::Idle) {
        c.PulseTime += 256;
        c.EnvTime += 1;
    }
    c.TickCount += 1;
    EnvelopeStep(s, channel);
    // Every selected generator runs; the last one's value stands.
    if (c.Waves & 1) c.Output = TriangleVoice(s, channel);
    if (c.Waves & 2) c.Output = SawVoice(s, channel);
    if (c.Waves & 4) c.Output = PulseVoice(s, channel);
    if (c.Waves & 8) c.Output = NoiseVoice(s, channel);
}

}  // namespace

void RenderSamples(Synth& s, std::int16_t* buffer, std::int32_t frames) {
    s.RowEnded = false;
    const std::uint32_t samplesPerTick = s.SampleRate / s.Layout.TicksPerSecond;
    for (std::int32_t i = 0; i < frames; ++i) {
        for (int ch = 0; ch < ChannelCount; ++ch) {
            if (!TickClock(s, ch, samplesPerTick)) break;
            ChannelSample(s, ch);
        }
        if (s.RowEnded) AdvanceRow(s);
        const std::int32_t sum = s.Channels[0].Output + s.Channels[1].Output + s.Channels[2].Output;
        buffer[i] = static_cast<std::int16_t>(sum / 3);
    }
}
