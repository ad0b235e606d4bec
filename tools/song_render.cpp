#include "song_render.h"

#include <algorithm>
#include <vector>

#include "base/random.h"
#include "wav_file.h"

SongFault CheckSongRate(const CaptureOptions& options, Synth& synth, const std::string& name) {
    synth.SampleRate = options.Rate;
    const std::string problem = CheckSampleRate(synth);
    if (problem.empty()) return {};
    if (options.RateGiven) return {ExitBadArgs, "--rate: " + problem + " (" + name + ")"};
    // At the default rate only a tick rate above it gives a tick no sample.
    const std::uint64_t ticks = synth.Layout.TicksPerSecond;
    const std::uint64_t highest = std::min<std::uint64_t>(65536 * ticks - 1, 0x7FFFFFFF);
    return {ExitFailed, name + " cannot be played at the default " + std::to_string(options.Rate) +
                            " Hz: its tick rate of " + std::to_string(ticks) +
                            " per second gives a tick no sample; give a --rate from " +
                            std::to_string(ticks) + " to " + std::to_string(highest) + " Hz"};
}

SongFault SongOnlySamples(const CaptureOptions& options, const Synth& synth, const std::string& name,
                          std::uint32_t& samples) {
    const std::string most = " (a WAV file holds at most " + std::to_string(MaxWavSamples) + " samples)";
    if (options.Seconds) {
        const std::uint64_t wanted = SamplesIn(*options.Seconds, options.Rate);
        if (wanted > MaxWavSamples)
            return {ExitBadArgs, "--seconds: the sound would be too long for a WAV file" + most};
        samples = static_cast<std::uint32_t>(wanted);
        return {};
    }
    const std::int64_t loop = SongLoopSamples(synth);
    if (static_cast<std::uint64_t>(loop) > MaxWavSamples)
        return {ExitFailed, "one loop of " + name + " lasts " + std::to_string(loop) + " samples at " +
                                std::to_string(options.Rate) + " Hz, too long for a WAV file" + most +
                                "; --seconds can choose a shorter length"};
    samples = static_cast<std::uint32_t>(loop);
    return {};
}

std::string WriteSongWav(Synth& synth, std::uint32_t samples, OutputFile& out) {
    const auto header = WavHeader(synth.SampleRate, samples);
    if (std::string problem = WriteOutput(out, header); !problem.empty()) return problem;

    RandomSeed = 0;
    constexpr std::uint32_t Chunk = 65536;
    std::vector<std::int16_t> buffer(Chunk);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(2 * Chunk);
    for (std::uint32_t done = 0; done < samples;) {
        const std::uint32_t n = std::min(Chunk, samples - done);
        RenderSamples(synth, buffer.data(), static_cast<std::int32_t>(n));
        bytes.clear();
        AppendSamples(bytes, {buffer.data(), n});
        if (std::string problem = WriteOutput(out, bytes); !problem.empty()) return problem;
        done += n;
    }
    return "";
}
