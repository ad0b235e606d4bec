// The capture tool's parts: command line, frame list, frame and sample
// spans, the sound ring, WAV and PNG files, ffmpeg's command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "capture_args.h"
#include "demo/render_platform.h"
#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "frame_list.h"
#include "png_file.h"
#include "png_frames.h"
#include "progress.h"
#include "raster/random.h"
#include "read_back.h"
#include "show_sound.h"
#include "show_span.h"
#include "song_text.h"
#include "tests/synth/song_builder.h"
#include "video_pipe.h"
#include "wav_file.h"

namespace {

using Ranges = std::vector<std::pair<std::int64_t, std::int64_t>>;

Ranges RangesOf(const FrameList& list) {
  Ranges ranges;
  for (const FrameRange& r : list.Ranges) ranges.emplace_back(r.First, r.Last);
  return ranges;
}

CaptureOptions Parse(std::vector<std::string_view> args) {
  const CaptureArgs a = ParseCaptureArgs(args);
  EXPECT_EQ(a.Error, "");
  return a.Options;
}

TEST(CaptureArgs, ActionsDefaultsAndValues) {
  CaptureOptions o = Parse({"--song-only", "--wav", "out.wav"});
  EXPECT_EQ(o.Action, CaptureAction::SongOnly);
  EXPECT_EQ(o.Rate, 48000u);
  EXPECT_FALSE(o.Seconds.has_value());
  o = Parse({"--rate", "44100", "--wav", "x.wav", "--seconds", "2.5", "--song-only", "--song", "s.bin"});
  EXPECT_EQ(o.Rate, 44100u);
  EXPECT_EQ(o.Seconds, 2.5);
  EXPECT_EQ(o.SongPath, "s.bin");
  EXPECT_EQ(Parse({"--write-song", "song.bin"}).Action, CaptureAction::WriteSong);
  EXPECT_EQ(Parse({"--print-song", "--song", "a"}).Action, CaptureAction::PrintSong);
  EXPECT_EQ(Parse({"--song-only", "--bogus", "--help"}).Action, CaptureAction::Help);

  o = Parse({});
  EXPECT_EQ(o.Action, CaptureAction::Show);
  EXPECT_EQ(o.FramePeriod, 10000);
  EXPECT_FALSE(o.Frames.has_value());
  o = Parse({"--png-dir", "f", "--frames", "3,1-2", "--wav", "s.wav", "--video", "v.mp4", "--frame-us", "1000"});
  EXPECT_EQ(o.Action, CaptureAction::Show);
  EXPECT_EQ(o.PngDir, "f");
  EXPECT_EQ(o.WavPath, "s.wav");
  EXPECT_EQ(o.VideoPath, "v.mp4");
  EXPECT_EQ(o.FramePeriod, 1000);
  ASSERT_TRUE(o.Frames.has_value());
  EXPECT_EQ(RangesOf(*o.Frames), (Ranges{{1, 3}}));
}

TEST(CaptureArgs, RefusesWhatItCannotDo) {
  const struct { std::vector<std::string_view> args; const char* error; } cases[] = {
      {{"--song-only"}, "--song-only needs --wav"},
      {{"--print-song", "--wav", "a.wav"}, "--wav goes with --song-only or with the show"},
      {{"--song-only", "--wav"}, "--wav needs a value"},
      {{"--song-only", "--wav", ""}, "non-empty"},
      {{"--song-only", "--wav", "a", "--rate", "0"}, "--rate needs a whole number"},
      {{"--song-only", "--wav", "a", "--rate", "99999999999"}, "--rate needs a whole number"},
      {{"--song-only", "--wav", "a", "--seconds", "-1"}, "--seconds needs a number"},
      {{"--song-only", "--wav", "a", "--seconds", "1e3"}, "--seconds needs a number"},
      {{"--song-only", "--wav", "a", "--wav", "b"}, "--wav is given twice"},
      {{"--song-only", "--wav", "a", "--print-song"}, "cannot be combined"},
      {{"--song-only", "--wav", "a", "--video", "v"}, "belong to the show"},
      {{"--write-song", "a", "--song", "b"}, "--song cannot be used"},
      {{"--print-song", "--rate", "8000"}, "belong to --song-only"},
      {{"--pngdir", "frames"}, "unknown option \"--pngdir\""},
      {{"--frame-us", "999"}, "--frame-us needs a whole number of microseconds from 1000 to 10000000"},
      {{"--frame-us", "10000001"}, "--frame-us needs"},
      {{"--frames", "1"}, "--frames chooses PNG frames and needs --png-dir"},
      {{"--png-dir", "f", "--frames", "1", "--frames", "2"}, "--frames is given twice"},
      {{"--video", "a", "--video", "b"}, "--video is given twice"},
      {{"--seconds", "3"}, "--seconds belongs to --song-only"},
  };
  for (const auto& c : cases)
    EXPECT_NE(ParseCaptureArgs(c.args).Error.find(c.error), std::string::npos) << c.error;
}

TEST(FrameList, NumbersAndRangesAreSortedAndMerged) {
  const FrameListParse p = ParseFrameList("300-310,0,150,305-320,321,99999");
  ASSERT_EQ(p.Error, "");
  EXPECT_EQ(RangesOf(p.List), (Ranges{{0, 0}, {150, 150}, {300, 321}, {99999, 99999}}));
  for (std::int64_t in : {0, 310, 321}) EXPECT_TRUE(FrameListContains(p.List, in)) << in;
  for (std::int64_t out : {1, 322}) EXPECT_FALSE(FrameListContains(p.List, out)) << out;
  EXPECT_EQ(FrameListLast(p.List), 99999);
  EXPECT_EQ(FrameListCountBelow(p.List, 311), 13);  // 0, 150 and 300..310
  EXPECT_EQ(FrameListCountBelow(p.List, 100000), 2 + 22 + 1);

  const struct { const char* text; const char* error; } refused[] = {
      {"1,,2", "\"\" is not a frame number"},   {"-1", "\"-1\" is not a range"},
      {"+1", "\"+1\" is not a frame number"},   {"1-2-3", "\"1-2-3\" is not a range"},
      {"5-3", "\"5-3\" runs backwards"},        {"100000", "is not a frame number from 0 to 99999"},
      {"0x10", "\"0x10\" is not a frame number"}, {"99999999999999999999", "is not a frame number"},
  };
  for (const auto& c : refused) {
    const std::string error = ParseFrameList(c.text).Error;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave: " << error;
    EXPECT_EQ(error.rfind("--frames: ", 0), 0u) << error;
  }
}

TEST(ShowSpan, FrameSpansAddUpToTheRunningCountWithoutLossOrRepeat) {
  // Periods and rates whose product is not a whole number of samples per frame.
  for (std::int64_t period : {10000, 16667, 33333, 1000, 10000000})
    for (std::uint32_t rate : {48000u, 44100u, 11025u}) {
      const std::int64_t low = period * rate / 1'000'000;
      for (std::int64_t frame = 1; frame <= 6000; ++frame) {
        const std::int64_t span = SamplesBeforeFrame(frame, period, rate) - SamplesBeforeFrame(frame - 1, period, rate);
        ASSERT_TRUE(span == low || span == low + 1) << period << " " << rate << " " << frame;
      }
      EXPECT_EQ(SamplesBeforeFrame(6000, period, rate), static_cast<std::int64_t>(6000.0L * period * rate / 1e6L));
    }
  EXPECT_EQ(SamplesBeforeFrame(3, 16667, 48000), 2400);  // 50001 us: 2400.048
  // Far past any show, where frames x period x rate no longer fits in 64 bits.
  EXPECT_EQ(SamplesBeforeFrame(10'000'000, 9'999'999, 2'000'000'000), 99'999'990'000'000LL * 2'000);
}

// Starts the render thread's logic on the virtual counter.
void StartTimeline(std::int64_t period) {
  ResetVirtualPlatform();
  VirtualPlatform.framePeriod = period;
  ResetTimeline();
  RandomSeed.store(0);
  RenderThreadSetUp();
}

TEST(ShowSpan, FrameCountMatchesTheTimeline) {
  for (std::int64_t period : {100000, 333333, 1000000, 3000000, 7000000, 10000000}) {
    StartTimeline(period);
    std::int64_t frames = 0;
    for (RenderFrame(); SceneIndex < EndSceneIndex; RenderFrame()) ++frames;
    EXPECT_EQ(ShowFrameCount(period), frames) << period;
  }
  EXPECT_EQ(ShowFrameCount(1000000), 52);  // frames 0 and 1 both at clock 0
  // 10 ms: one more than 51 s / 10 ms, as 5100 steps of 0.01 sum to just below 51.
  EXPECT_EQ(ShowFrameCount(10000), 5102);
  EXPECT_EQ(ShowFrameCount(1000), 51002);
}

TEST(ShowSound, PlaysOneContinuousStreamASecondBehindTheSynthesizer) {
  constexpr std::uint32_t Rate = 8000;
  const std::vector<std::int16_t> song = BuiltInSongSamples(Rate, 5 * Rate);
  RandomSeed.store(0);
  ShowSound sound;
  ASSERT_EQ(StartShowSound(sound, {BuiltInSong, BuiltInSong + BuiltInSongSize}, Rate), "");
  // Steps of odd sizes, one across the ring's end and one longer than the ring.
  std::vector<std::int16_t> heard, fresh;
  for (std::int64_t step : {80, 7919, 1, 20001, 3999}) PlayShowSound(sound, step, heard, &fresh);
  ASSERT_EQ(heard.size(), 32000u);
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), song.begin()));
  ASSERT_EQ(fresh.size(), 32000u);
  EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), song.begin() + Rate));
}

TEST(WavFile, HeaderAndSamples) {
  const auto h = WavHeader(48000, 1000);
  const std::uint8_t expected[44] = {'R', 'I', 'F', 'F', 0xF4, 0x07, 0, 0, 'W', 'A', 'V', 'E',
                                     'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,  // PCM, mono
                                     0x80, 0xBB, 0, 0, 0x00, 0x77, 0x01, 0,       // 48000, 96000 B/s
                                     2, 0, 16, 0, 'd', 'a', 't', 'a', 0xD0, 0x07, 0, 0};
  EXPECT_TRUE(std::equal(h.begin(), h.end(), expected));
  std::vector<std::uint8_t> bytes;
  const std::int16_t samples[] = {1, -2, 0x1234, -32768};
  AppendSamples(bytes, samples);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x01, 0x00, 0xFE, 0xFF, 0x34, 0x12, 0x00, 0x80}));
}

TEST(SongText, NoteNamesPutA440AtA4) {
  const std::pair<int, const char*> names[] = {{60, "A-4"}, {51, "C-4"}, {52, "C#4"}, {3, "C-0"}, {97, "A#7"}};
  for (const auto& [note, name] : names) EXPECT_EQ(NoteName(note), name);
}

TEST(PngFrames, EncoderThreadsWriteWhatOneEncoderWritesFrameByFrame) {
  // 3-second frames: every scene in 18 frames, no two alike. Three encoders
  // share two buffers, so frames are encoded out of order and buffers and
  // encoders are reused.
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("dxvornik85-png-frames-" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  PngFrames frames;
  ASSERT_EQ(StartPngFrames(frames, dir.string(), ScreenWidth, ScreenHeight, 3, 2, 1), "");
  PngEncoderPtr alone = MakePngEncoder(1);
  const std::size_t count = static_cast<std::size_t>(ShowFrameCount(3000000));
  std::vector<std::vector<std::uint8_t>> expected(count);
  std::vector<std::vector<Colour32>> pictures;
  StartTimeline(3000000);
  for (std::size_t frame = 0; frame < count; ++frame) {
    RenderFrame();
    const Colour32* pixels = VirtualFrame().pixels;
    pictures.emplace_back(pixels, pixels + ScreenWidth * ScreenHeight);
    EncodePng(*alone, pixels, ScreenWidth, ScreenHeight, expected[frame]);
    ASSERT_EQ(QueuePngFrame(frames, static_cast<std::int64_t>(frame), pixels), "");
  }
  ASSERT_EQ(FinishPngFrames(frames), "");
  ASSERT_EQ(CommitPngFrames(frames), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), static_cast<long>(count));
  for (std::size_t frame = 0; frame < count; ++frame) {
    const auto file = ReadFile<std::vector<std::uint8_t>>(dir / PngFrameName(static_cast<std::int64_t>(frame)));
    EXPECT_TRUE(file == expected[frame]) << frame;
    const Picture picture = DecodePng(file);
    EXPECT_TRUE(picture.Pixels == pictures[frame]) << frame;
    EXPECT_EQ(picture.Width, 800);
    EXPECT_EQ(picture.Height, 600);
  }
  std::filesystem::remove_all(dir);
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
  EXPECT_EQ(ArgumentAfter(args, "-ar"), "(none)");
  EXPECT_EQ(args.back(), "out.mp4.tmp-1");
  format.FramePeriod = 16667;
  format.SampleRate = 50000;  // not an AAC rate
  args = FfmpegArguments(format, "x");
  EXPECT_EQ(ArgumentAfter(args, "-framerate"), "1000000/16667");
  EXPECT_EQ(ArgumentAfter(args, "-ar"), "48000");
  format.FramePeriod = 3000000;
  EXPECT_EQ(ArgumentAfter(FfmpegArguments(format, "x"), "-framerate"), "1/3");
}

TEST(Progress, LineShowsTheBarTheCountAndTheTimeLeft) {
  EXPECT_EQ(ProgressLine(0, 10, -1), "[..............................]   0%  frame 0 of 10");
  EXPECT_EQ(ProgressLine(5, 10, 125.4), "[###############...............]  50%  frame 5 of 10  2:05 left");
}

}  // namespace
