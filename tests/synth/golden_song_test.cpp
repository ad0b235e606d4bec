// Every sample of the song, bit for bit: one loop of the built-in song at
// three rates, hashed and compared with what the synthesizer has always
// produced. Rendering may get faster; no sample may change. A failure prints
// the new values, to be pasted here only when the sound is meant to change.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "base/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

struct Golden {
    std::uint32_t rate;
    std::size_t samples;  // one loop
    std::uint64_t hash;   // FNV-1a over the samples
};

class GoldenSong : public ::testing::TestWithParam<Golden> {};

// In the audio thread's 20 ms passes, from a generator at its start state.
TEST_P(GoldenSong, OneLoopIsExactlyAsBefore) {
    const Golden& golden = GetParam();
    Synth s;
    ASSERT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, golden.rate), "");
    RandomSeed.store(0);
    const auto loop = static_cast<std::size_t>(SongLoopSamples(s));
    std::vector<std::int16_t> pass(golden.rate / 50);
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (std::size_t done = 0, n = 0; done < loop; done += n) {
        n = std::min(pass.size(), loop - done);
        RenderSamples(s, pass.data(), static_cast<std::int32_t>(n));
        for (std::size_t i = 0; i < n; ++i)
            hash = (hash ^ static_cast<std::uint16_t>(pass[i])) * 0x100000001B3u;
    }
    EXPECT_EQ(loop, golden.samples);
    EXPECT_EQ(hash, golden.hash);
    if (loop != golden.samples || hash != golden.hash) {
        std::printf("    Golden{%u, %zu, 0x%016" PRIX64 "u},\n", golden.rate, loop, hash);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rates, GoldenSong, ::testing::Values(
    Golden{44100, 3245783, 0xCBCB27BFD40F969Du},
    Golden{48000, 3532823, 0x72DB1A1062ADFE74u},
    Golden{200000, 14720023, 0xFE4FC12B7A7E3B9Du}),
    [](const ::testing::TestParamInfo<Golden>& info) {
        return "rate_" + std::to_string(info.param.rate);
    });
// clang-format on

}  // namespace
