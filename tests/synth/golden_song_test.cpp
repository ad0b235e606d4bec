// Every sample of the song, bit for bit: one loop of the built-in song at
// three rates, hashed and compared with what the synthesizer has always
// produced. Rendering may get faster; no sample may change. A failure prints
// the new values, to be pasted here only when the sound is meant to change.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "raster/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

// FNV-1a over the samples.
std::uint64_t HashSamples(const std::vector<std::int16_t>& samples) {
    std::uint64_t h = 0xCBF29CE484222325u;
    for (const std::int16_t v : samples) {
        h = (h ^ static_cast<std::uint16_t>(v)) * 0x100000001B3u;
    }
    return h;
}

struct Golden {
    std::uint32_t rate;
    std::int64_t samples;  // one loop
    std::uint64_t hash;
};

// clang-format off
constexpr Golden Loops[] = {
    {44100, 3245783, 0x80FFEAD664010D57u},
    {48000, 3532823, 0xF8012BC31099D764u},
    {200000, 14720023, 0xB657FD3BD3AF4FB3u},
};
// clang-format on

class GoldenSong : public ::testing::TestWithParam<Golden> {};

// In the audio thread's 20 ms passes, from a generator at its start state.
TEST_P(GoldenSong, OneLoopIsExactlyAsBefore) {
    const Golden& golden = GetParam();
    Synth s;
    ASSERT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, golden.rate), "");
    RandomSeed.store(0);
    const std::int64_t loop = SongLoopSamples(s);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(loop));
    const std::int64_t pass = golden.rate / 50;
    for (std::int64_t done = 0; done < loop; done += pass) {
        const std::int64_t n = std::min(pass, loop - done);
        RenderSamples(s, samples.data() + done, static_cast<std::int32_t>(n));
    }
    const std::uint64_t hash = HashSamples(samples);
    EXPECT_EQ(loop, golden.samples);
    EXPECT_EQ(hash, golden.hash);
    if (loop != golden.samples || hash != golden.hash) {
        std::printf("    {%u, %" PRId64 ", 0x%016" PRIX64 "u},\n", golden.rate, loop, hash);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, GoldenSong, ::testing::ValuesIn(Loops),
                         [](const ::testing::TestParamInfo<Golden>& info) {
                             return "rate_" + std::to_string(info.param.rate);
                         });

}  // namespace
