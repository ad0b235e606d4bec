// The capture tool's parts: frame list, frame and sample spans, the sound
// ring, note names, PNG files, ffmpeg's command line, the progress line. The
// command line and the WAV file are checked on the program (cli_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "demo/render_platform.h"
#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "frame_list.h"
#include "png_file.h"
#include "png_frames.h"
#include "progress.h"
#include "base/random.h"
#include "read_back.h"
#include "scaled_frame.h"
#include "show_sound.h"
#include "show_span.h"
#include "song_text.h"
#include "tests/synth/song_builder.h"
#include "video_pipe.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

TEST(FrameList, NumbersAndRangesAreSortedAndMerged) {
    const FrameListParse p = ParseFrameList("300-310,0,150,305-320,321,99999");
    ASSERT_EQ(p.Error, "");
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    for (const FrameRange& r : p.List.Ranges) ranges.emplace_back(r.First, r.Last);
    EXPECT_EQ(ranges, (decltype(ranges){{0, 0}, {150, 150}, {300, 321}, {99999, 99999}}));
    for (std::int64_t in : {0, 310, 321}) EXPECT_TRUE(FrameListContains(p.List, in)) << in;
    for (std::int64_t out : {1, 322}) EXPECT_FALSE(FrameListContains(p.List, out)) << out;
    EXPECT_EQ(FrameListLast(p.List), 99999);

    // clang-format off
  const struct { const char* text; const char* error; } refused[] = {
      {"1,,2", "\"\" is not a frame number"},     {"-1", "\"-1\" is not a range"},
      {"+1", "\"+1\" is not a frame number"},     {"1-2-3", "\"1-2-3\" is not a range"},
      {"0x10", "\"0x10\" is not a frame number"}, {"100000", "is not a frame number from 0 to"},
      {"99999999999999999999", "is not a frame"}};  // "5-3" and the prefix: cli_test.cpp
    // clang-format on
    for (const auto& c : refused) {
        const std::string error = ParseFrameList(c.text).Error;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave: " << error;
    }
}

// Each frame's sound is the span between two of these, so none is lost or repeated.
TEST(ShowSpan, SamplesBeforeAFrameAreItsTimeAtTheRateRoundedDown) {
    // Periods and rates whose product is not a whole number of samples per frame.
    for (std::int64_t period : {10000, 16667, 33333, 1000, 10000000})
        for (std::int64_t rate : {48000, 44100, 11025})
            for (std::int64_t frame = 0; frame <= 6000; ++frame)
                ASSERT_EQ(SamplesBeforeFrame(frame, period, static_cast<std::uint32_t>(rate)),
                          frame * period * rate / 1'000'000)
                    << period << " " << rate << " " << frame;
    // Far past any show, where frames x period x rate no longer fits in 64 bits.
    EXPECT_EQ(SamplesBeforeFrame(10'000'000, 9'999'999, 2'000'000'000), 99'999'990'000'000LL * 2'000);
}

// Starts a show on the virtual counter.
Show StartTimeline(std::int64_t period) {
    ResetVirtualPlatform();
    VirtualPlatform.framePeriod = period;
    Show show;
    RandomState generator{0};
    StartShow(show, generator);
    return show;
}

TEST(ShowSpan, FrameCountMatchesTheTimeline) {
    for (std::int64_t period : {100000, 333333, 1000000, 3000000, 7000000, 10000000}) {
        Show show = StartTimeline(period);
        std::int64_t frames = 0;
        for (RenderFrame(show); show.SceneIndex < EndSceneIndex; RenderFrame(show)) ++frames;
        EXPECT_EQ(ShowFrameCount(period), frames) << period;
    }
}

TEST(ShowSound, PlaysOneContinuousStreamASecondBehindTheSynthesizer) {
    constexpr std::uint32_t Rate = 8000;
    const std::vector<std::int16_t> song = BuiltInSongSamples(Rate, 5 * Rate);
    RandomSeed.store(0);
    ShowSound sound;
    ASSERT_EQ(StartShowSound(sound, {BuiltInSong, BuiltInSong + BuiltInSongSize}, Rate), "");
    // Steps of odd sizes, one across the ring's end and one longer than the ring.
    std::vector<std::int16_t> heard, fresh;
    for (std::int64_t step : {80, 7919, 2, 20001, 3998}) PlayShowSound(sound, step, heard, &fresh);
    ASSERT_EQ(heard.size(), 32000u);
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), song.begin()));
    ASSERT_EQ(fresh.size(), 32000u);
    EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), song.begin() + Rate));
}

TEST(SongText, NoteNamesPutA440AtA4) {
    const std::pair<int, const char*> names[] = {
        {60, "A-4"}, {51, "C-4"}, {52, "C#4"}, {3, "C-0"}, {97, "A#7"}};
    for (const auto& [note, name] : names) EXPECT_EQ(NoteName(note), name);
}

TEST(PngFrames, EncoderThreadsWriteWhatOneEncoderWritesFrameByFrame) {
    // 3-second frames: every scene in 18 frames, no two alike. Three encoders
    // share two buffers, so frames are encoded out of order and buffers and
    // encoders are reused.
    const fs::path dir = fs::temp_directory_path() / ("dxvornik85-png-frames-" + std::to_string(getpid()));
    fs::remove_all(dir);
    PngFrames frames;
    ASSERT_EQ(StartPngFrames(frames, dir.string(), ScreenWidth, ScreenHeight, 3, 2, 1), "");
    PngEncoderPtr alone = MakePngEncoder(1);
    const std::int64_t count = ShowFrameCount(3000000);
    std::vector<Bytes> expected(count);
    std::vector<std::vector<Colour32>> pictures;
    Show show = StartTimeline(3000000);
    for (std::int64_t frame = 0; frame < count; ++frame) {
        RenderFrame(show);
        const Colour32* pixels = VirtualFrame();
        pictures.emplace_back(pixels, pixels + ScreenWidth * ScreenHeight);
        EncodePng(*alone, pixels, ScreenWidth, ScreenHeight, expected[frame]);
        ASSERT_EQ(QueuePngFrame(frames, frame, pixels), "");
    }
    ASSERT_EQ(FinishPngFrames(frames), "");
    ASSERT_EQ(CommitPngFrames(frames), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), count);
    for (std::int64_t frame = 0; frame < count; ++frame) {
        const auto file = ReadFile<Bytes>(dir / PngFrameName(frame));
        EXPECT_TRUE(file == expected[frame]) << frame;
        EXPECT_TRUE(DecodePng(file).Pixels == pictures[frame]) << frame;
    }
    fs::remove_all(dir);
}

// A frame that cannot be moved stops the commit: the frames moved stay, the
// others are left to the discard, which removes them and the staging directory.
TEST(PngFrames, AFailedMoveLeavesOnlyTheFramesNotYetMovedToTheDiscard) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("dxvornik85-png-commit-" + std::to_string(getpid()));
    fs::remove_all(dir);
    PngFrames frames;
    ASSERT_EQ(StartPngFrames(frames, dir.string(), 2, 2, 1, 1, 1), "");  // one encoder: frames in order
    const Colour32 pixels[4] = {};
    for (std::int64_t frame = 0; frame < 3; ++frame) ASSERT_EQ(QueuePngFrame(frames, frame, pixels), "");
    ASSERT_EQ(FinishPngFrames(frames), "");
    fs::create_directories(dir / PngFrameName(1));
    EXPECT_NE(CommitPngFrames(frames), "");
    EXPECT_EQ(frames.Names, (std::vector<std::string>{PngFrameName(1), PngFrameName(2)}));
    DiscardPngFrames(frames);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{PngFrameName(0), PngFrameName(1)}));
    fs::remove_all(dir);
}

std::array<int, 3> Components(Yuv yuv) {
    return {yuv.Y, yuv.Cb, yuv.Cr};
}

TEST(ScaledFrame, EachColourSampleComesFromTheFramePixelsUnderIt) {
    // BT.709 limited range; 219 x 128 / 255 = 109.93 puts grey's Y at 126. A
    // colour summed four times, as under a 2 x 2 colour sample, is the same.
    const std::pair<Colour32, std::array<int, 3>> colours[] = {
        {0x000000, {16, 128, 128}}, {0xFFFFFF, {235, 128, 128}}, {0x808080, {126, 128, 128}},
        {0xFF0000, {63, 102, 240}}, {0x00FF00, {173, 42, 26}},   {0x0000FF, {32, 240, 118}}};
    for (const auto& [c, yuv] : colours)
        for (std::int64_t n : {1, 4})
            EXPECT_EQ(Components(Bt709Limited(n * (c >> 16), n * (c >> 8 & 0xFF), n * (c & 0xFF), n)), yuv)
                << std::hex << c << " x " << n;
    // A 2 x 2 frame: red, green over blue, white. At an even scale each colour
    // sample is one frame pixel's.
    const Colour32 frame[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    std::vector<std::uint8_t> planes;
    std::vector<Colour32> scaled;
    for (int scale : {1, 2, 3}) {
        FrameToYuv420(frame, 2, 2, scale, planes);
        ScaleFrame(frame, 2, 2, scale, scaled);
        const int side = 2 * scale, half = scale;
        ASSERT_EQ(planes.size(), static_cast<std::size_t>(side * side * 3 / 2)) << scale;
        ASSERT_EQ(scaled.size(), static_cast<std::size_t>(side * side)) << scale;
        std::vector<std::array<std::int64_t, 3>> sums(half * half);  // red, green, blue under each sample
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const Colour32 under = frame[y / scale * 2 + x / scale];
                EXPECT_EQ(scaled[y * side + x], under) << scale << ": " << x << "," << y;
                EXPECT_EQ(planes[y * side + x],
                          Bt709Limited(under >> 16, under >> 8 & 0xFF, under & 0xFF, 1).Y);
                auto& sum = sums[y / 2 * half + x / 2];
                sum = {sum[0] + (under >> 16), sum[1] + (under >> 8 & 0xFF), sum[2] + (under & 0xFF)};
            }
        for (int i = 0; i < half * half; ++i) {
            const Yuv yuv = Bt709Limited(sums[i][0], sums[i][1], sums[i][2], 4);
            EXPECT_EQ(planes[side * side + i], yuv.Cb) << scale << ": " << i;
            EXPECT_EQ(planes[side * side + half * half + i], yuv.Cr) << scale << ": " << i;
        }
    }
}

TEST(VideoPipe, FfmpegGetsTheFrameRateAsAFractionAndAnAacRate) {
    const auto after = [](VideoFormat format, const std::string& option) -> std::string {
        const std::vector<std::string> args = FfmpegArguments(format, "out.mp4.tmp-1");
        const auto at = std::find(args.begin(), args.end(), option);
        return at == args.end() || at + 1 == args.end() ? "(none)" : *(at + 1);
    };
    EXPECT_EQ(after({800, 600, 10000, 48000}, "-ar"), "(none)");  // already an AAC rate
    EXPECT_EQ(after({800, 600, 16667, 50000}, "-framerate"), "1000000/16667");
    EXPECT_EQ(after({800, 600, 16667, 50000}, "-ar"), "48000");
    EXPECT_EQ(after({800, 600, 3000000, 48000}, "-framerate"), "1/3");
}

TEST(Progress, LineShowsTheBarTheCountAndTheTimeLeft) {
    EXPECT_EQ(ProgressLine(0, 10, -1), "[..............................]   0%  frame 0 of 10");
    EXPECT_EQ(ProgressLine(5, 10, 125.4), "[###############...............]  50%  frame 5 of 10  2:05 left");
}

}  // namespace
