// Every picture of the whole show, bit for bit: the frames of the show at
// 10 ms per frame, from a fresh start, hashed second by second of the demo
// clock and compared with the hashes the show has always produced. Drawing
// may get faster; no pixel of any frame may change. A failure prints the
// new table, to be pasted here only when a picture is meant to change.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>

#include "demo_fixture.h"

namespace {

constexpr int Seconds = 52;  // 0..50 drawn, 51 asks to close

// FNV-1a over 64-bit words, carried from frame to frame within one second.
std::uint64_t HashFrame(std::uint64_t h, const MemoryFrame& frame) {
    const Colour32* p = frame.pixels;
    for (int i = 0; i < ScreenWidth * ScreenHeight; i += 2) {
        h = (h ^ (std::uint64_t{p[i]} | std::uint64_t{p[i + 1]} << 32)) * 0x100000001B3u;
    }
    return h;
}

struct ShowHashes {
    std::uint64_t second[Seconds];
    int frames[Seconds] = {};
    bool allDrawn = true;
};

void HashPresented(void* context, const MemoryFrame& frame, bool drawn) {
    ShowHashes& s = *static_cast<ShowHashes*>(context);
    s.allDrawn = s.allDrawn && drawn;
    if (SceneIndex >= 0 && SceneIndex < Seconds) {
        s.second[SceneIndex] = HashFrame(s.second[SceneIndex], frame);
        ++s.frames[SceneIndex];
    }
    if (SceneIndexFor(DemoClock) >= Seconds) RenderStopRequested.store(true);
}

// Frames per second of the demo clock and the hash of each second.
struct Expected {
    int frames;
    std::uint64_t hash;
};

// clang-format off
constexpr Expected Golden[Seconds] = {
    {101, 0x6615C41C015F6D25u},  // second 0
    {100, 0x64C6D86E6DAEEB25u},  // second 1
    {101, 0x6615C41C015F6D25u},  // second 2
    {100, 0xFE33677946362325u},  // second 3
    {100, 0xFE33677946362325u},  // second 4
    {100, 0xFE33677946362325u},  // second 5
    {100, 0x1084730268D5A62Du},  // second 6
    {100, 0x1084730268D5A62Du},  // second 7
    {100, 0x1084730268D5A62Du},  // second 8
    {100, 0x1084730268D5A62Du},  // second 9
    {100, 0xAB06CF497E3594BFu},  // second 10
    {100, 0x434D3C4A9C03971Cu},  // second 11
    {100, 0x4C1ADE5500EF1192u},  // second 12
    {100, 0x43406D96EC42BB5Eu},  // second 13
    {100, 0x21F87E418042D0E9u},  // second 14
    {100, 0x9EFCB0C91968A880u},  // second 15
    {100, 0x45D5E9801BDB884Fu},  // second 16
    { 99, 0x07583B77149B4D3Du},  // second 17
    {100, 0x5107CB6D8A9557D1u},  // second 18
    {100, 0xDC879472CCF85F3Fu},  // second 19
    {100, 0x08047FF312233D4Fu},  // second 20
    {100, 0x5D03531E1616B3A3u},  // second 21
    {100, 0xE83971621639849Eu},  // second 22
    {100, 0x7F1F2BAD7A41494Eu},  // second 23
    {100, 0x33FCDD5AF053DF3Du},  // second 24
    {100, 0x526A54D6B697044Fu},  // second 25
    {100, 0xF8E2491ED186B59Du},  // second 26
    {100, 0xC1E50D42B255AE2Fu},  // second 27
    {100, 0xEF750097C8C35140u},  // second 28
    {100, 0x5081A389E1550203u},  // second 29
    {100, 0x833082CCA4763B03u},  // second 30
    {100, 0x9F685949D9DBBE35u},  // second 31
    {100, 0x20E6C0E167BBEDB6u},  // second 32
    {100, 0x3581F02A954D619Eu},  // second 33
    {100, 0xA91E292BBC62A793u},  // second 34
    {100, 0xA8D8C73699D4001Cu},  // second 35
    {100, 0x350E3C51EB012412u},  // second 36
    {100, 0xEA91BB6912D42F53u},  // second 37
    {100, 0xFB4BF6BAF8E66BE2u},  // second 38
    {100, 0x371B0B7DCF792E14u},  // second 39
    {100, 0x35B13D8B14912101u},  // second 40
    {100, 0xE57BDF7977474AD9u},  // second 41
    {100, 0x4C26A4FCB9D22F41u},  // second 42
    {101, 0xCE9BC01F58C5BC25u},  // second 43
    {100, 0x270F1D4A02FA456Du},  // second 44
    {100, 0xAD6227128B3E3A8Bu},  // second 45
    {100, 0xA9D71493F3394EA1u},  // second 46
    {100, 0x2D084C572EC5878Du},  // second 47
    {100, 0xBDF082318C4BA303u},  // second 48
    {100, 0x7620749D45FEB9D2u},  // second 49
    {100, 0x7A10AC1A60EBDFD4u},  // second 50
    {100, 0x02AFB588546F5B25u},  // second 51
};
// clang-format on

class GoldenWholeShow : public DemoTest {};

TEST_F(GoldenWholeShow, EveryFrameIsExactlyAsBefore) {
    ShowHashes s;
    for (std::uint64_t& h : s.second) h = 0xCBF29CE484222325u;
    VirtualPlatform.presentHook = {HashPresented, &s};
    RenderThreadProc(nullptr);
    EXPECT_TRUE(s.allDrawn);

    bool same = true;
    for (int k = 0; k < Seconds; ++k) {
        EXPECT_EQ(s.frames[k], Golden[k].frames) << "second " << k;
        EXPECT_EQ(s.second[k], Golden[k].hash) << "second " << k;
        same = same && s.frames[k] == Golden[k].frames && s.second[k] == Golden[k].hash;
    }
    if (!same) {
        std::printf("The show as drawn now:\n");
        for (int k = 0; k < Seconds; ++k)
            std::printf("    {%3d, 0x%016" PRIX64 "u},  // second %d\n", s.frames[k], s.second[k], k);
    }
}

}  // namespace
