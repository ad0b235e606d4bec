#pragma once
// dxvornik: the three-channel tracker synthesizer. A song image (header, order
// list, tracks, instruments, programs, tick rate) is played by a sequencer
// that RenderSamples drives sample by sample; each channel has an ADSR
// envelope and four generators, and the three channels are averaged into mono
// signed 16-bit samples.
//
// All state lives in one Synth record passed by reference, so several renders
// can run side by side. Start-up order for any use of RenderSamples:
//   SongBytes filled; LoadSongLayout (must report no problem); SampleRate set;
//   CheckSampleRate (must report no problem); BuildNoteTables; InitChannels.
// StartSynth does exactly that. RenderSamples may then be called any number
// of times with any frame counts; the music continues seamlessly.
//
// The playing functions trust the image: LoadSongLayout is the gate that keeps
// every read they can make inside SongBytes.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

constexpr int ChannelCount = 3;
constexpr int LowestNote = 1;
constexpr int HighestNote = 97;
constexpr std::size_t MaxSongBytes = 65536;  // offsets are 16-bit

// Track command bytes.
constexpr std::uint8_t RestCommand = 0;
constexpr std::uint8_t EndOfTrack = 98;
constexpr std::uint8_t InstrumentSelect = 100;
constexpr std::uint8_t ReleaseCommand = 102;
constexpr std::uint8_t FirstRelativeNote = 128;

// Program step control codes (high nibble of byte 3).
constexpr std::uint8_t StopControl = 14;
constexpr std::uint8_t LoopControl = 15;

enum class EnvelopePhase : std::uint8_t { Attack, Decay, Sustain, Release, Idle };

struct SongLayout {
    std::uint16_t Base = 0;
    std::uint16_t TrackTableOffset = 0;
    std::uint16_t InstrumentTableOffset = 0;
    std::uint16_t ProgramTableOffset = 0;
    std::uint16_t TickRateOffset = 0;
    std::uint16_t TicksPerSecond = 0;
    std::uint8_t OrderLength = 0;
    std::uint8_t DurationUnit = 0;
};

struct ChannelState {
    // Sequencer: position in the order list, the track and the program.
    std::uint8_t OrderPos = 0;
    std::uint16_t OrderOffset = 0;
    std::uint16_t TrackPos = 0;
    std::uint16_t DurationLeft = 0;
    std::uint16_t TickCount = 0;
    std::uint8_t BaseNote = 0;
    std::uint8_t InstrumentIndex = 0;
    std::uint8_t ProgramIndex = 0;
    std::uint8_t AttackRate = 0;
    std::uint8_t DecayRate = 0;
    std::uint8_t SustainLevel = 0;
    std::uint8_t ReleaseRate = 0;
    std::uint16_t StepPos = 0;
    std::uint8_t StepWait = 0;
    std::int8_t NoteOffset = 0;
    std::uint8_t Note = 0;
    std::uint8_t Waves = 0;  // bit 0 triangle, 1 saw, 2 pulse, 3 noise
    std::uint16_t PulseWidth = 0;
    std::uint8_t StepControl = 0;

    // Envelope and generators.
    EnvelopePhase EnvPhase = EnvelopePhase::Idle;
    std::int64_t EnvTime = 0;
    std::int16_t Level = 0;
    std::uint32_t OscPhase = 0;
    std::int16_t NoiseValue = 0;
    std::int64_t PulseTime = 0;
    bool PulseLowHalf = false;
    std::int32_t Output = 0;
};

struct Synth {
    std::vector<std::uint8_t> SongBytes;
    SongLayout Layout;
    ChannelState Channels[ChannelCount];
    bool RowEnded = false;
    std::uint32_t SampleRate = 0;
    std::int64_t NoteStep[HighestNote + 1] = {};    // index 1..97
    std::int64_t NotePeriod[HighestNote + 1] = {};  // index 1..97
    // Envelope lengths in samples for each rate 0-15 at SampleRate: the
    // attack (lenA), the decay's end test (lenT) and the heard decay and
    // release (lenD, lenR).
    double AttackLength[16] = {};
    double DecayTestLength[16] = {};
    double FallLength[16] = {};
};

// Envelope time tables (milliseconds for the attack; time bases for decay
// and release).
extern const std::int32_t AttackTimes[16];
extern const std::int32_t DecayReleaseTimes[16];

// Reads the header of s.SongBytes into s.Layout and checks that the image can
// be played without any read leaving it. Returns "" for a playable image,
// otherwise the first problem found, in plain words. The layout is filled as
// far as the header could be read even when a problem is reported.
[[nodiscard]] std::string LoadSongLayout(Synth& s);

// Checks s.SampleRate against the loaded tick rate: at least one and fewer
// than 65,536 samples per tick, and every note period at least one sample
// step. Returns "" when the rate can be used, otherwise the problem.
[[nodiscard]] std::string CheckSampleRate(const Synth& s);

// The whole start-up order on a fresh image and rate; returns the first
// problem ("" when s is ready for RenderSamples).
[[nodiscard]] std::string StartSynth(Synth& s, std::span<const std::uint8_t> image, std::uint32_t sampleRate);

// Fills the note tables and the envelope lengths for s.SampleRate.
void BuildNoteTables(Synth& s);
void InitChannels(Synth& s);
void SequenceStep(Synth& s, int channel);
void ProgramStep(Synth& s, int channel);
void AdvanceRow(Synth& s);
void EnvelopeStep(Synth& s, int channel);
std::int16_t TriangleVoice(Synth& s, int channel);
std::int16_t SawVoice(Synth& s, int channel);
std::int16_t PulseVoice(Synth& s, int channel);
std::int16_t NoiseVoice(Synth& s, int channel);  // draws RandomBelow(RandomSeed, 65536)
void RenderSamples(Synth& s, std::int16_t* buffer, std::int32_t frames);

// Number of rows the order list plays before it returns to row 0.
int OrderRowCount(const SongLayout& layout);

// One loop of the song in ticks, from InitChannels until the order list
// returns to row 0. Needs only an image that passed LoadSongLayout; its time
// grows with the image's size, not with the durations.
std::int64_t SongLoopTicks(const Synth& s);

// One loop of the song in samples: from InitChannels to the end of the
// sample in which the order list returns to row 0. s must have passed the
// start-up checks (the sample rate too) and is not changed.
std::int64_t SongLoopSamples(const Synth& s);
