// Prints a digest of every frame of the whole show and of one loop of the
// song at three rates, for checking that a change to the drawing or the
// synthesizer leaves every picture and every sample exactly as it was:
// record the output before the change and compare it after.
//   show_digest [FRAME_US...]   (default 10000)
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "raster/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace {

// FNV-1a over 64-bit words.
std::uint64_t Digest(const void* data, std::size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(data);
    std::uint64_t h = 0xCBF29CE484222325u;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t w = 0;
        for (int k = 0; k < 8; ++k) w |= std::uint64_t{p[i + k]} << (8 * k);
        h = (h ^ w) * 0x100000001B3u;
    }
    for (; i < bytes; ++i) h = (h ^ p[i]) * 0x100000001B3u;
    return h;
}

struct Watch {
    std::int64_t frames = 0;
};

void PrintFrame(void* context, const MemoryFrame& frame, bool drawn) {
    Watch& w = *static_cast<Watch*>(context);
    std::printf("frame %lld scene %d %s %016llx\n", static_cast<long long>(w.frames++),
                static_cast<int>(SceneIndex), drawn ? "drawn" : "undrawn",
                static_cast<unsigned long long>(Digest(frame.pixels, sizeof frame.pixels)));
    if (SceneIndexFor(DemoClock) >= 51) RenderStopRequested.store(true);
}

void PrintShow(std::int64_t framePeriod) {
    ResetTimeline();
    ResetVirtualPlatform();
    RandomSeed.store(0);
    Watch w;
    VirtualPlatform.framePeriod = framePeriod;
    VirtualPlatform.presentHook = {PrintFrame, &w};
    std::printf("show frame-us %lld\n", static_cast<long long>(framePeriod));
    RenderThreadProc(nullptr);
}

void PrintSong(std::uint32_t rate) {
    Synth s;
    if (!StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, rate).empty()) std::abort();
    RandomSeed.store(0);
    const std::int64_t loop = SongLoopSamples(s);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(loop));
    const std::int32_t pass = static_cast<std::int32_t>(rate / 50);
    for (std::int64_t done = 0; done < loop; done += pass)
        RenderSamples(s, samples.data() + done,
                      static_cast<std::int32_t>(std::min<std::int64_t>(pass, loop - done)));
    std::printf("song %u samples %lld %016llx\n", rate, static_cast<long long>(loop),
                static_cast<unsigned long long>(Digest(samples.data(), samples.size() * 2)));
}

}  // namespace

int main(int argc, char** argv) {
    for (const std::uint32_t rate : {44100u, 48000u, 200000u}) PrintSong(rate);
    if (argc == 1) PrintShow(10000);
    for (int i = 1; i < argc; ++i) PrintShow(std::atoll(argv[i]));
    return 0;
}
