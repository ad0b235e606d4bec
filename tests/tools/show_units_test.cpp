// The show capture's parts: the frame list, the frame and sample spans, the
// sound ring, PNG encoding, ffmpeg's command line and the progress line.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture_args.h"
#include "demo/render_platform.h"
#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "frame_list.h"
#include "png_file.h"
#include "progress.h"
#include "raster/random.h"
#include "show_sound.h"
#include "show_span.h"
#include "synth/song.h"
#include "video_pipe.h"

namespace {

std::vector<std::pair<std::int64_t, std::int64_t>> Ranges(const FrameList& list) {
  std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
  for (const FrameRange& r : list.Ranges) ranges.emplace_back(r.First, r.Last);
  return ranges;
}

TEST(FrameList, NumbersAndRangesAreSortedAndMerged) {
  const FrameListParse p = ParseFrameList("300-310,0,150,305-320,321,99999");
  ASSERT_EQ(p.Error, "");
  const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {{0, 0}, {150, 150}, {300, 321}, {99999, 99999}};
  EXPECT_EQ(Ranges(p.List), expected);
  EXPECT_TRUE(FrameListContains(p.List, 0));
  EXPECT_TRUE(FrameListContains(p.List, 310));
  EXPECT_TRUE(FrameListContains(p.List, 321));
  EXPECT_FALSE(FrameListContains(p.List, 1));
  EXPECT_FALSE(FrameListContains(p.List, 322));
  EXPECT_EQ(FrameListLast(p.List), 99999);
  EXPECT_EQ(FrameListCountBelow(p.List, 311), 13);  // 0, 150 and 300..310
  EXPECT_EQ(FrameListCountBelow(p.List, 100000), 2 + 22 + 1);
  EXPECT_EQ(Ranges(ParseFrameList("7-7").List), (std::vector<std::pair<std::int64_t, std::int64_t>>{{7, 7}}));
}

TEST(FrameList, RefusesWhatIsNotAFrameList) {
  const struct { const char* text; const char* error; } cases[] = {
      {"", "\"\" is not a frame number"},
      {"1,,2", "\"\" is not a frame number"},
      {"1,", "\"\" is not a frame number"},
      {"-1", "\"-1\" is not a range"},
      {"+1", "\"+1\" is not a frame number"},
      {" 1", "\" 1\" is not a frame number"},
      {"1-", "\"1-\" is not a range"},
      {"1-2-3", "\"1-2-3\" is not a range"},
      {"5-3", "\"5-3\" runs backwards"},
      {"100000", "\"100000\" is not a frame number from 0 to 99999"},
      {"99999999999999999999", "is not a frame number"},
      {"0x10", "\"0x10\" is not a frame number"},
  };
  for (const auto& c : cases) {
    const FrameListParse p = ParseFrameList(c.text);
    EXPECT_NE(p.Error.find(c.error), std::string::npos) << c.text << " gave: " << p.Error;
    EXPECT_EQ(p.Error.rfind("--frames: ", 0), 0u) << p.Error;
  }
}

TEST(ShowArgs, TheShowIsWhatRunsWhenNoOtherActionIsNamed) {
  std::vector<std::string_view> args;
  CaptureArgs a = ParseCaptureArgs(args);
  ASSERT_EQ(a.Error, "");
  EXPECT_EQ(a.Options.Action, CaptureAction::Show);
  EXPECT_EQ(a.Options.FramePeriod, 10000);
  EXPECT_EQ(a.Options.Rate, 48000u);
  EXPECT_FALSE(a.Options.Frames.has_value());

  args = {"--png-dir", "f", "--frames", "3,1-2", "--wav", "s.wav", "--video", "v.mp4", "--frame-us", "1000", "--rate", "44100"};
  a = ParseCaptureArgs(args);
  ASSERT_EQ(a.Error, "");
  EXPECT_EQ(a.Options.Action, CaptureAction::Show);
  EXPECT_EQ(a.Options.PngDir, "f");
  EXPECT_EQ(a.Options.WavPath, "s.wav");
  EXPECT_EQ(a.Options.VideoPath, "v.mp4");
  EXPECT_EQ(a.Options.FramePeriod, 1000);
  EXPECT_EQ(a.Options.Rate, 44100u);
  ASSERT_TRUE(a.Options.Frames.has_value());
  EXPECT_EQ(Ranges(*a.Options.Frames), (std::vector<std::pair<std::int64_t, std::int64_t>>{{1, 3}}));

  const struct { std::vector<std::string_view> args; const char* error; } refused[] = {
      {{"--frame-us", "999"}, "--frame-us needs a whole number of microseconds from 1000 to 10000000"},
      {{"--frame-us", "10000001"}, "--frame-us needs"},
      {{"--frame-us", "-5"}, "--frame-us needs"},
      {{"--frame-us", "1e4"}, "--frame-us needs"},
      {{"--frames", "1"}, "--frames chooses PNG frames and needs --png-dir"},
      {{"--png-dir", "f", "--frames", "2-1"}, "\"2-1\" runs backwards"},
      {{"--png-dir", "f", "--frames", "1", "--frames", "2"}, "--frames is given twice"},
      {{"--video", "a", "--video", "b"}, "--video is given twice"},
      {{"--seconds", "3"}, "--seconds belongs to --song-only"},
      {{"--song-only", "--wav", "a", "--video", "v"}, "belong to the show"},
      {{"--print-song", "--frame-us", "5000"}, "belong to the show"},
  };
  for (const auto& c : refused) {
    const std::string error = ParseCaptureArgs(c.args).Error;
    EXPECT_NE(error.find(c.error), std::string::npos) << "got: " << error;
  }
}

TEST(ShowSpan, FrameSpansAddUpToTheRunningCountWithoutLossOrRepeat) {
  // Periods and rates whose product is not a whole number of samples per frame.
  for (std::int64_t period : {10000, 16667, 33333, 1000, 10000000})
    for (std::uint32_t rate : {48000u, 44100u, 22050u, 8000u, 11025u}) {
      std::int64_t sum = 0, previous = 0;
      for (std::int64_t frame = 1; frame <= 6000; ++frame) {
        const std::int64_t count = SamplesBeforeFrame(frame, period, rate);
        const std::int64_t span = count - previous;
        // Each frame gets the floor or the ceiling of period x rate / 1e6.
        const std::int64_t low = period * rate / 1'000'000;
        ASSERT_GE(span, low) << period << " " << rate << " " << frame;
        ASSERT_LE(span, low + 1);
        sum += span;
        previous = count;
      }
      const long double exact = 6000.0L * period * rate / 1e6L;
      EXPECT_EQ(sum, static_cast<std::int64_t>(exact)) << period << " " << rate;
    }
  EXPECT_EQ(SamplesBeforeFrame(0, 10000, 48000), 0);
  EXPECT_EQ(SamplesBeforeFrame(3, 16667, 48000), 2400);      // 50001 us: 2400.048
  EXPECT_EQ(SamplesBeforeFrame(5102, 10000, 48000), 2448960);
  // Far past any show, where frames x period x rate no longer fits in 64 bits.
  EXPECT_EQ(SamplesBeforeFrame(10'000'000, 9'999'999, 2'000'000'000),
            99'999'990'000'000LL * 2'000);
}

// The frame count the capture predicts, against the render thread's own
// clock driven by the virtual counter (drawing included, so only periods
// that give a few hundred frames at most).
std::int64_t TimelineFrameCount(std::int64_t period) {
  ResetVirtualPlatform();
  VirtualPlatform.framePeriod = period;
  ResetTimeline();
  RandomSeed.store(0);
  RenderThreadSetUp();
  std::int64_t frames = 0;
  for (;;) {
    RenderFrame();
    if (SceneIndex >= EndSceneIndex) return frames;
    ++frames;
  }
}

TEST(ShowSpan, FrameCountMatchesTheTimeline) {
  // 7 s steps over second 51, from 49 to 56.
  for (std::int64_t period : {100000, 333333, 1000000, 3000000, 7000000, 10000000})
    EXPECT_EQ(ShowFrameCount(period), TimelineFrameCount(period)) << period;
  EXPECT_EQ(ShowFrameCount(100000), 511);  // frame 511 would start at 51.0
  EXPECT_EQ(ShowFrameCount(1000000), 52);  // frames 0 and 1 both at clock 0
  EXPECT_EQ(ShowFrameCount(7000000), 9);
  // 10 ms frames: 5101 by the arithmetic, one more because the clock's
  // sum of 5100 steps of 0.01 stays just below 51.
  EXPECT_EQ(ShowFrameCount(10000), 5102);
  EXPECT_EQ(ShowFrameCount(1000), 51002);
}

std::vector<std::int16_t> SongFromStart(std::uint32_t rate, std::int64_t samples) {
  Synth s;
  EXPECT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, rate), "");
  RandomSeed.store(0);
  std::vector<std::int16_t> out(static_cast<std::size_t>(samples));
  RenderSamples(s, out.data(), static_cast<std::int32_t>(samples));
  return out;
}

TEST(ShowSound, PlaysOneContinuousStreamASecondBehindTheSynthesizer) {
  constexpr std::uint32_t Rate = 8000;
  const std::vector<std::int16_t> song = SongFromStart(Rate, 5 * Rate);
  RandomSeed.store(0);
  ShowSound sound;
  ASSERT_EQ(StartShowSound(sound, {BuiltInSong, BuiltInSong + BuiltInSongSize}, Rate), "");
  EXPECT_TRUE(std::equal(sound.Buffer.begin(), sound.Buffer.end(), song.begin()));  // the first fill

  // Steps of odd sizes, one across the ring's end and one longer than the ring.
  std::vector<std::int16_t> heard, fresh;
  for (std::int64_t step : {80, 7919, 1, 20001, 3999}) PlayShowSound(sound, step, heard, &fresh);
  ASSERT_EQ(heard.size(), 32000u);
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), song.begin()));
  ASSERT_EQ(fresh.size(), 32000u);
  EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), song.begin() + Rate));
}

TEST(ShowSound, RefusesARateTheSongCannotBePlayedAt) {
  ShowSound sound;
  EXPECT_NE(StartShowSound(sound, {BuiltInSong, BuiltInSong + BuiltInSongSize}, 49), "");
}

std::vector<Colour32> TestPicture(int width, int height) {
  std::vector<Colour32> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<std::size_t>(y) * width + x] =
          (x * 7 + y) % 5 == 0 ? 0x000000 : static_cast<Colour32>((x * 40503u + y * 2654435761u) & 0xFFFFFF);
  return pixels;
}

// Decodes with libpng, an independent reader; the result as 0x00RRGGBB.
std::vector<Colour32> DecodePng(const std::vector<std::uint8_t>& file, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
  image.format = PNG_FORMAT_RGB;
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  std::vector<Colour32> pixels(rgb.size() / 3);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<Colour32>(rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
  return pixels;
}

TEST(PngFile, DecodesToTheSamePixelsAndIsTheSameEveryTime) {
  const int w = 61, h = 37;
  const std::vector<Colour32> pixels = TestPicture(w, h);
  PngEncoderPtr encoder = MakePngEncoder(1);
  std::vector<std::uint8_t> first, second;
  EncodePng(*encoder, pixels.data(), w, h, first);
  int width = 0, height = 0;
  EXPECT_EQ(DecodePng(first, width, height), pixels);
  EXPECT_EQ(width, w);
  EXPECT_EQ(height, h);

  // The encoder is reused between frames: a different picture in between
  // must leave nothing behind.
  const std::vector<Colour32> other(static_cast<std::size_t>(800) * 600, 0x123456);
  std::vector<std::uint8_t> big;
  EncodePng(*encoder, other.data(), 800, 600, big);
  EXPECT_EQ(DecodePng(big, width, height), other);
  EncodePng(*encoder, pixels.data(), w, h, second);
  EXPECT_EQ(second, first);

  PngEncoderPtr stored = MakePngEncoder(0);
  std::vector<std::uint8_t> uncompressed;
  EncodePng(*stored, pixels.data(), w, h, uncompressed);
  EXPECT_EQ(DecodePng(uncompressed, width, height), pixels);
  EXPECT_GT(uncompressed.size(), pixels.size() * 3);
}

std::string ArgumentAfter(const std::vector<std::string>& args, const std::string& option) {
  const auto at = std::find(args.begin(), args.end(), option);
  return at == args.end() || at + 1 == args.end() ? "(none)" : *(at + 1);
}

TEST(VideoPipe, FfmpegGetsTheFrameRateAsAFractionAndAnAacRate) {
  VideoFormat format{800, 600, 10000, 48000};
  std::vector<std::string> args = FfmpegArguments(format, "out.mp4.tmp-1");
  EXPECT_EQ(ArgumentAfter(args, "-framerate"), "100/1");
  EXPECT_EQ(ArgumentAfter(args, "-video_size"), "800x600");
  EXPECT_EQ(ArgumentAfter(args, "-sample_rate"), "48000");
  EXPECT_EQ(ArgumentAfter(args, "-ar"), "(none)");
  EXPECT_EQ(ArgumentAfter(args, "-f"), "rawvideo");
  EXPECT_EQ(args.back(), "out.mp4.tmp-1");
  EXPECT_EQ(args[args.size() - 2], "mp4");

  format.FramePeriod = 16667;
  format.SampleRate = 50000;  // not an AAC rate
  args = FfmpegArguments(format, "x");
  EXPECT_EQ(ArgumentAfter(args, "-framerate"), "1000000/16667");
  EXPECT_EQ(ArgumentAfter(args, "-ar"), "48000");
  format.FramePeriod = 40000;
  EXPECT_EQ(ArgumentAfter(FfmpegArguments(format, "x"), "-framerate"), "25/1");
  format.FramePeriod = 3000000;
  EXPECT_EQ(ArgumentAfter(FfmpegArguments(format, "x"), "-framerate"), "1/3");
}

TEST(Progress, LineShowsTheBarTheCountAndTheTimeLeft) {
  EXPECT_EQ(ProgressLine(0, 10, -1), "[..............................]   0%  frame 0 of 10");
  EXPECT_EQ(ProgressLine(5, 10, 125.4), "[###############...............]  50%  frame 5 of 10  2:05 left");
  EXPECT_EQ(ProgressLine(5102, 5102, 0), "[##############################] 100%  frame 5102 of 5102  0:00 left");
}

}  // namespace
