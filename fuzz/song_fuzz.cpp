// Arbitrary song images and sample rates through the start-up checks; every
// image that passes them is played for a bounded number of samples, split into
// calls as the plan says, with rows ended by hand at chosen points so that
// later rows are reached quickly. Nothing may read outside the image.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "synth/dxvornik.h"

namespace {

constexpr std::int64_t MaxSamples = 8192;

std::uint32_t ChooseRate(const FuzzInput& input, const Synth& s) {
    if (input.RateMode >= 0x80) return input.RawRate;
    return s.Layout.TicksPerSecond * (input.RateMode + 1u);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    if (!SplitFuzzInput({data, size}, input)) return 0;

    Synth s;
    s.SongBytes.assign(input.Image.begin(), input.Image.end());
    if (!LoadSongLayout(s).empty()) return 0;
    s.SampleRate = ChooseRate(input, s);
    if (!CheckSampleRate(s).empty()) return 0;
    BuildNoteTables(s);
    InitChannels(s);

    std::vector<std::int16_t> out(MaxSamples);
    std::int64_t rendered = 0;
    for (std::uint8_t step : input.Plan) {
        if (step & 0x40) AdvanceRow(s);
        const std::int64_t n = std::min<std::int64_t>((step & 0x3F) * 16 + 1, MaxSamples - rendered);
        RenderSamples(s, out.data(), static_cast<std::int32_t>(n));
        rendered += n;
    }
    RenderSamples(s, out.data(), static_cast<std::int32_t>(MaxSamples - rendered));
    return 0;
}
