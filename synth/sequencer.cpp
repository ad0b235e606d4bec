// The sequencer: rows of the order list, track commands and instrument
// programs, advanced tick by tick from RenderSamples' tick clock.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "dxvornik.h"
#include "image_access.h"

namespace {

void LoadInstrument(Synth& s, ChannelState& c, std::uint8_t instrument) {
    const std::uint16_t record = InstrumentRecord(s.Layout, instrument);
    c.ProgramIndex = ImageByte(s, record);
    const std::uint8_t rates = ImageByte(s, record + 1);
    const std::uint8_t levels = ImageByte(s, record + 2);
    c.AttackRate = rates >> 4;
    c.DecayRate = rates & 15;
    c.SustainLevel = levels >> 4;
    c.ReleaseRate = levels & 15;
}

// A note restarts the envelope and the program; the oscillator phase and the
// pulse clock run on.
void RestartInstrument(Synth& s, ChannelState& c) {
    c.EnvPhase = EnvelopePhase::Attack;
    c.EnvTime = 0;
    LoadInstrument(s, c, c.InstrumentIndex);
    c.StepPos = ProgramStart(s, c.ProgramIndex);
    c.StepWait = 0;
}

std::uint16_t Ticks(const Synth& s, std::uint8_t units) {
    return static_cast<std::uint16_t>(units * s.Layout.DurationUnit);
}

void PutOnRowTrack(Synth& s, ChannelState& c) {
    c.TrackPos = TrackStart(s, ImageByte(s, c.OrderOffset));
}

}  // namespace

void SequenceStep(Synth& s, int channel) {
    ChannelState& c = s.Channels[channel];
    if (ImageByte(s, c.TrackPos) == InstrumentSelect) {
        // Changes the envelope parameters and the program at once; the running
        // envelope follows them and the program step's wait runs out first.
        c.InstrumentIndex = ImageByte(s, c.TrackPos + 1);
        LoadInstrument(s, c, c.InstrumentIndex);
        c.StepPos = ProgramStart(s, c.ProgramIndex);
        c.TrackPos += 2;
    }
    const std::uint8_t command = ImageByte(s, c.TrackPos);
    if (command == RestCommand) {
        c.DurationLeft = Ticks(s, ImageByte(s, c.TrackPos + 1));
        c.TrackPos += 2;
    } else if (command <= HighestNote) {
        c.BaseNote = command;
        c.DurationLeft = Ticks(s, ImageByte(s, c.TrackPos + 1));
        c.TrackPos += 2;
        RestartInstrument(s, c);
    } else if (command == ReleaseCommand) {
        c.DurationLeft = Ticks(s, ImageByte(s, c.TrackPos + 1));
        c.TrackPos += 2;
        if (c.EnvPhase == EnvelopePhase::Sustain) {
            c.EnvPhase = EnvelopePhase::Release;
            c.EnvTime = 0;
        }
    } else if (command >= FirstRelativeNote) {
        c.BaseNote = static_cast<std::uint8_t>(c.BaseNote + (command & 15) - 7);
        c.DurationLeft = Ticks(s, static_cast<std::uint8_t>((command >> 4) - 7));
        c.TrackPos += 1;
        RestartInstrument(s, c);
    }
    // Anything else (the end marker, an illegal byte) is not consumed: the
    // channel stays on it and DurationLeft keeps its value, so a zero wraps to
    // a wait of 65,536 ticks.
}

void ProgramStep(Synth& s, int channel) {
    ChannelState& c = s.Channels[channel];
    if (c.EnvPhase == EnvelopePhase::Idle) return;
    if (c.StepWait > 0) {
        --c.StepWait;
        return;
    }
    const std::uint8_t s0 = ImageByte(s, c.StepPos);
    const std::uint8_t s1 = ImageByte(s, c.StepPos + 1);
    const std::uint8_t s2 = ImageByte(s, c.StepPos + 2);
    const std::uint8_t s3 = ImageByte(s, c.StepPos + 3);
    c.NoteOffset = static_cast<std::int8_t>(s0 - 128);
    int note = c.BaseNote + c.NoteOffset;
    if (note < LowestNote) note = LowestNote;
    if (note > HighestNote) note = HighestNote;
    c.Note = static_cast<std::uint8_t>(note);
    c.Waves = s1 >> 4;
    c.StepWait = s1 & 15;
    c.PulseWidth = static_cast<std::uint16_t>((s2 << 4) + (s3 & 15));
    c.StepControl = s3 >> 4;
    if (c.StepControl == StopControl) return;  // replayed every StepWait + 1 ticks
    c.StepPos += 4;
    if ((ImageByte(s, c.StepPos + 3) >> 4) == LoopControl)
        c.StepPos = ProgramStart(s, c.ProgramIndex);  // a loop marker is never current
}

void InitChannels(Synth& s) {
    s.RowEnded = false;
    for (int ch = 0; ch < ChannelCount; ++ch) {
        ChannelState& c = s.Channels[ch];
        c = ChannelState{};
        c.PulseTime = 0;
        c.InstrumentIndex = 0;
        LoadInstrument(s, c, 0);
        c.EnvPhase = EnvelopePhase::Idle;
        c.OrderOffset = static_cast<std::uint16_t>(OrderListOffset + ch);
        PutOnRowTrack(s, c);
        c.Level = 0;
        c.OrderPos = 0;
        SequenceStep(s, ch);
        ProgramStep(s, ch);
        EnvelopeStep(s, ch);
    }
}

void AdvanceRow(Synth& s) {
    for (int ch = 0; ch < ChannelCount; ++ch) {
        ChannelState& c = s.Channels[ch];
        c.OrderPos = static_cast<std::uint8_t>(c.OrderPos + 3);
        if (c.OrderPos >= s.Layout.OrderLength) {
            c.OrderPos = 0;
            c.OrderOffset = static_cast<std::uint16_t>(OrderListOffset + ch);
        } else {
            c.OrderOffset += 3;
        }
        PutOnRowTrack(s, c);
        c.TickCount = 0;
        // The instrument record is loaded by the next note or instrument select.
        c.InstrumentIndex = 0;
        SequenceStep(s, ch);
        ProgramStep(s, ch);
    }
    s.RowEnded = false;
}

namespace {

// Ticks from a track's start to its end marker: the sum of its durations,
// as instrument selects take no time.
std::int64_t TrackTicks(const Synth& s, std::uint8_t track) {
    std::int64_t ticks = 0;
    for (std::uint16_t p = TrackStart(s, track);;) {
        const std::uint8_t command = ImageByte(s, p);
        if (command == EndOfTrack) return ticks;
        if (command >= FirstRelativeNote) {
            ticks += Ticks(s, static_cast<std::uint8_t>((command >> 4) - 7));
            p += 1;
        } else {
            if (command != InstrumentSelect) ticks += Ticks(s, ImageByte(s, p + 1));
            p += 2;
        }
    }
}

}  // namespace

std::int64_t SongLoopTicks(const Synth& s) {
    // A channel reaches its end marker when its track's durations have run
    // out, and the first channel to reach one ends the row. Walking the
    // tracks costs no more than the image is long, however long the rows last.
    std::int64_t known[256];
    std::fill(std::begin(known), std::end(known), -1);
    std::int64_t ticks = 0;
    for (int row = 0; row < OrderRowCount(s.Layout); ++row) {
        std::int64_t rowTicks = INT64_MAX;
        for (int ch = 0; ch < ChannelCount; ++ch) {
            const std::uint8_t track =
                ImageByte(s, static_cast<std::uint16_t>(OrderListOffset + 3 * row + ch));
            if (known[track] < 0) known[track] = TrackTicks(s, track);
            rowTicks = std::min(rowTicks, known[track]);
        }
        ticks += rowTicks;
    }
    return ticks;
}

std::int64_t SongLoopSamples(const Synth& s) {
    // Each row lasts its ticks times the tick length plus the one uncounted
    // sample in which it ended.
    const std::int64_t samplesPerTick = s.SampleRate / s.Layout.TicksPerSecond;
    return SongLoopTicks(s) * samplesPerTick + OrderRowCount(s.Layout);
}
