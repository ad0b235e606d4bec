// The whole show through the real render thread on the virtual platform, at
// frame periods of 1, 10, 16.667 and 100 ms, the last with one 2-second stall:
// no primitive is ever handed a coordinate outside the frame, the balls (the
// one figure moved by real time) stay in their arena, and the show ends with
// its close requests and black frames. At 10 ms, the capture tool's default,
// every frame must also hash as it always has: drawing may get faster, no
// pixel may change. A hash failure prints the new table, to be pasted here
// only when a picture is meant to change, and writes the first wrong frame as
// a PNG to look at (see LookAtFirstWrongFrame).
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <png.h>

#include "demo_fixture.h"
#include "tests/tools/read_back.h"

namespace {

struct ShowRun {
    const char* name;
    std::int64_t framePeriod;  // microseconds (the virtual counter's ticks)
    double stallAtClock;       // negative: no stall
    std::int64_t stallTicks;   // 0 with no stall
    bool hashed;               // compared with the golden hashes
};

void PrintTo(const ShowRun& run, std::ostream* os) {
    *os << run.name;
}

constexpr int HashedSeconds = 52;  // 0..50 drawn, 51 asks to close

// The hash of every second of the show at 10 ms frames: all its frames in
// turn, so a missing or extra frame shows as well as a changed pixel.
// clang-format off
constexpr std::uint64_t Golden[HashedSeconds] = {
    0x6615C41C015F6D25u, 0x64C6D86E6DAEEB25u, 0x6615C41C015F6D25u, 0xFE33677946362325u,  // seconds 0-3
    0xFE33677946362325u, 0xFE33677946362325u, 0x1084730268D5A62Du, 0x1084730268D5A62Du,  // seconds 4-7
    0x1084730268D5A62Du, 0x1084730268D5A62Du, 0xAB06CF497E3594BFu, 0x434D3C4A9C03971Cu,  // seconds 8-11
    0x4C1ADE5500EF1192u, 0x43406D96EC42BB5Eu, 0x21F87E418042D0E9u, 0x9EFCB0C91968A880u,  // seconds 12-15
    0x45D5E9801BDB884Fu, 0x07583B77149B4D3Du, 0x5107CB6D8A9557D1u, 0xDC879472CCF85F3Fu,  // seconds 16-19
    0x08047FF312233D4Fu, 0x5D03531E1616B3A3u, 0xE83971621639849Eu, 0x7F1F2BAD7A41494Eu,  // seconds 20-23
    0x33FCDD5AF053DF3Du, 0x526A54D6B697044Fu, 0xF8E2491ED186B59Du, 0xC1E50D42B255AE2Fu,  // seconds 24-27
    0xEF750097C8C35140u, 0x5081A389E1550203u, 0x833082CCA4763B03u, 0x9F685949D9DBBE35u,  // seconds 28-31
    0x20E6C0E167BBEDB6u, 0x3581F02A954D619Eu, 0xA91E292BBC62A793u, 0xA8D8C73699D4001Cu,  // seconds 32-35
    0x350E3C51EB012412u, 0xEA91BB6912D42F53u, 0xFB4BF6BAF8E66BE2u, 0x371B0B7DCF792E14u,  // seconds 36-39
    0x35B13D8B14912101u, 0xE57BDF7977474AD9u, 0x4C26A4FCB9D22F41u, 0xCE9BC01F58C5BC25u,  // seconds 40-43
    0x270F1D4A02FA456Du, 0xAD6227128B3E3A8Bu, 0xA9D71493F3394EA1u, 0x2D084C572EC5878Du,  // seconds 44-47
    0xBDF082318C4BA303u, 0x7620749D45FEB9D2u, 0x7A10AC1A60EBDFD4u, 0x02AFB588546F5B25u,  // seconds 48-51
};
// clang-format on

// FNV-1a over 64-bit words, carried from frame to frame within one second.
constexpr std::uint64_t HashStart = 0xCBF29CE484222325u;
std::uint64_t HashFrame(std::uint64_t h, const Colour32* p) {
    for (int i = 0; i < FramePixelCount; i += 2)
        h = (h ^ (std::uint64_t{p[i]} | std::uint64_t{p[i + 1]} << 32)) * 0x100000001B3u;
    return h;
}

struct ShowWatch {
    const ShowRun* run;
    Show* show;
    bool stalled = false;
    double longestFrameDelta = 0;
    std::uint64_t litFramesAfterShow = 0;
    std::uint64_t ballFramesOutsideArena = 0;
    std::uint64_t framesPerScene[static_cast<int>(Scene::Black) + 1] = {};
    std::uint64_t hash[HashedSeconds] = {};
};

constexpr double StopAtClock = 52.5;

// Runs after every presented frame; SceneIndex is the scene just drawn.
void WatchFrame(void* context, const Colour32* frame, bool drawn) {
    ShowWatch& w = *static_cast<ShowWatch*>(context);
    Show& show = *w.show;
    const std::int32_t second = show.SceneIndex;
    const Scene scene = SceneFor(second);
    EXPECT_TRUE(drawn);
    w.longestFrameDelta = std::max(w.longestFrameDelta, show.FrameDelta);
    ++w.framesPerScene[static_cast<int>(scene)];
    if (w.run->hashed && second < HashedSeconds) w.hash[second] = HashFrame(w.hash[second], frame);
    if (scene == Scene::Close || scene == Scene::Black) w.litFramesAfterShow += InkCount(frame) != 0;
    if (scene == Scene::Balls)
        w.ballFramesOutsideArena += !std::all_of(show.Balls, show.Balls + BallCount, InArena);

    if (!w.stalled && w.run->stallAtClock >= 0 && show.DemoClock >= w.run->stallAtClock) {
        VirtualPlatformAddStall(w.run->stallTicks);
        w.stalled = true;
    }
    if (show.DemoClock >= StopAtClock) show.RenderStopRequested.store(true);
}

// The first second whose hash is wrong; HashedSeconds when none is.
int ExpectGoldenHashes(const ShowWatch& w) {
    for (int k = 0; k < HashedSeconds; ++k) EXPECT_EQ(w.hash[k], Golden[k]) << "second " << k;
    const int firstWrong =
        static_cast<int>(std::mismatch(w.hash, w.hash + HashedSeconds, Golden).first - w.hash);
    if (firstWrong < HashedSeconds) {
        std::printf("The show as drawn now:\n");
        for (int k = 0; k < HashedSeconds; ++k)
            std::printf("0x%016" PRIX64 "u,%s", w.hash[k], k % 4 == 3 ? "\n" : " ");
    }
    return firstWrong;
}

// Frames as PNG files, for looking at what a failed golden check drew: the
// frame itself, and where it differs from the frame it should have been.
bool WriteFramePng(const std::string& path, const Colour32* pixels) {
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < FramePixelCount; ++i)
        for (const int shift : {16, 8, 0}) rgb.push_back(static_cast<std::uint8_t>(pixels[i] >> shift));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = ScreenWidth;
    image.height = ScreenHeight;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

// The frame kept in an 800 x 600 PNG file; empty when there is none.
std::vector<Colour32> ReadFramePng(const std::string& path) {
    Picture picture = DecodePng(ReadFile(path));
    if (picture.Width != ScreenWidth || picture.Height != ScreenHeight) return {};
    return std::move(picture.Pixels);
}

// Every pixel that differs in red; the rest of the expected frame dimmed to a
// quarter, so that the place of the difference can be told.
std::vector<Colour32> FrameDifference(const Colour32* actual, const Colour32* expected) {
    std::vector<Colour32> difference(FramePixelCount);
    for (int i = 0; i < FramePixelCount; ++i)
        difference[i] = actual[i] != expected[i] ? 0xFF0000 : (expected[i] >> 2) & 0x3F3F3F;
    return difference;
}

// Where the golden show's frames are kept as pictures: the directory named
// by DX_GOLDEN_FRAMES, else one in the temporary directory.
std::filesystem::path GoldenFramesDir() {
    const char* named = std::getenv("DX_GOLDEN_FRAMES");
    if (named != nullptr && *named != 0) return named;
    return std::filesystem::temp_directory_path() / "dxvornik85-golden-frames";
}

std::string FrameFile(const char* kind, std::int64_t frame) {
    char name[48];
    std::snprintf(name, sizeof name, "%s-%05lld.png", kind, static_cast<long long>(frame));
    return (GoldenFramesDir() / name).string();
}

// A fresh show with a generator and a counter of its own. The process has
// one virtual platform: each show's counter is put in place for its frame
// and taken out again afterwards.
struct ShowAtHand {
    RandomState generator{0};
    VirtualPlatformState platform;
    Show show;
    std::vector<std::uint64_t> hashes;  // of every frame drawn so far
};

void StartShowAtHand(ShowAtHand& s, std::int64_t framePeriod) {
    ResetVirtualPlatform();
    VirtualPlatform.framePeriod = framePeriod;
    StartShow(s.show, s.generator);
    s.platform = VirtualPlatform;
}

// Draws the golden show again. With every hash right and DX_GOLDEN_FRAMES
// set, every frame is kept there as frame-N.png, to compare a later run
// with. With a hash wrong, the first frame that differs from its kept picture
// is written as actual-N.png and difference-N.png; without kept pictures
// (the hashes cannot tell which frame of a second went wrong), the first
// frame of the first wrong second is written as actual-N.png.
void LookAtFirstWrongFrame(const ShowRun& run, int firstWrongSecond) {
    const bool keep = firstWrongSecond == HashedSeconds;
    if (keep && std::getenv("DX_GOLDEN_FRAMES") == nullptr) return;
    std::filesystem::create_directories(GoldenFramesDir());
    ShowAtHand fresh;
    StartShowAtHand(fresh, run.framePeriod);
    Show& show = fresh.show;
    for (std::int64_t frame = 0;; ++frame) {
        RenderFrame(show);
        if (show.SceneIndex >= HashedSeconds) return;
        const Colour32* actual = VirtualFrame();
        if (keep) {
            ASSERT_TRUE(WriteFramePng(FrameFile("frame", frame), actual)) << FrameFile("frame", frame);
            continue;
        }
        const std::vector<Colour32> expected = ReadFramePng(FrameFile("frame", frame));
        const bool kept = !expected.empty();
        if (kept ? std::equal(expected.begin(), expected.end(), actual) : show.SceneIndex < firstWrongSecond)
            continue;
        ADD_FAILURE() << "frame " << frame << " (second " << show.SceneIndex
                      << ") as drawn now: " << FrameFile("actual", frame);
        WriteFramePng(FrameFile("actual", frame), actual);
        if (kept) {
            ADD_FAILURE() << "where it differs from " << FrameFile("frame", frame)
                          << ", in red: " << FrameFile("difference", frame);
            WriteFramePng(FrameFile("difference", frame), FrameDifference(actual, expected.data()).data());
        } else {
            ADD_FAILURE() << "no picture of the frame as it was: run this test with DX_GOLDEN_FRAMES=DIR "
                             "where the hashes are right to keep them, then again here";
        }
        return;
    }
}

class WholeShow : public DemoTest, public ::testing::WithParamInterface<ShowRun> {};

TEST_P(WholeShow, NothingLeavesItsPlaceAndTheShowEndsItself) {
    const ShowRun& run = GetParam();
    ShowWatch w{&run, &show};
    std::fill(w.hash, w.hash + HashedSeconds, HashStart);
    VirtualPlatform.framePeriod = run.framePeriod;
    VirtualPlatform.presentHook = {WatchFrame, &w};

    EXPECT_EQ(RenderThreadProc(&show), 0u);

    EXPECT_EQ(ClippedDrawCount(), 0u);
    EXPECT_EQ(w.ballFramesOutsideArena, 0u);
    for (int scene = 0; scene <= static_cast<int>(Scene::Black); ++scene)
        EXPECT_GT(w.framesPerScene[scene], 0u) << scene;
    EXPECT_EQ(VirtualPlatform.closeRequests, w.framesPerScene[static_cast<int>(Scene::Close)]);
    EXPECT_EQ(w.litFramesAfterShow, 0u);
    EXPECT_DOUBLE_EQ(w.longestFrameDelta, (run.framePeriod + run.stallTicks) / 1e6);  // the stall came
    if (run.hashed) LookAtFirstWrongFrame(run, ExpectGoldenHashes(w));
}

//                                     name                      period   stall at  stall      hashed
INSTANTIATE_TEST_SUITE_P(
    FramePeriods, WholeShow,
    ::testing::Values(ShowRun{"period_1ms", 1'000, -1, 0, false},
                      ShowRun{"period_10ms_golden", 10'000, -1, 0, true},
                      ShowRun{"period_16_667ms", 16'667, -1, 0, false},
                      ShowRun{"period_100ms_stall_2s_in_balls", 100'000, 15.0, 2'000'000, false}),
    [](const ::testing::TestParamInfo<ShowRun>& info) { return std::string(info.param.name); });

// Draws the next frame; false once it is the frame that asks to close.
bool DrawNextFrame(ShowAtHand& s) {
    VirtualPlatform = s.platform;
    RenderFrame(s.show);
    s.platform = VirtualPlatform;
    if (SceneFor(s.show.SceneIndex) == Scene::Close) return false;
    s.hashes.push_back(HashFrame(HashStart, VirtualFrame()));
    return true;
}

// Nothing of a show lives outside its value and its generator: two shows
// started one after the other and drawn in turns, frame by frame, each draw
// what one show draws alone (at 250 ms frames).
TEST(ShowsSideBySide, TwoShowsDrawnInTurnsDrawWhatOneDrawsAlone) {
    std::vector<ShowAtHand> shows(3);  // one alone, then two in turns
    StartShowAtHand(shows[0], 250'000);
    while (DrawNextFrame(shows[0])) {}
    ASSERT_GT(shows[0].hashes.size(), 200u);
    StartShowAtHand(shows[1], 250'000);
    StartShowAtHand(shows[2], 250'000);
    for (bool more = true; more;)
        more = DrawNextFrame(shows[1]) & DrawNextFrame(shows[2]);  // both, every turn
    EXPECT_TRUE(shows[1].hashes == shows[0].hashes);
    EXPECT_TRUE(shows[2].hashes == shows[0].hashes);
}

}  // namespace
