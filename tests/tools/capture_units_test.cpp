// The capture tool's parts: command line, WAV header, note names.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "capture_args.h"
#include "song_text.h"
#include "wav_file.h"

namespace {

CaptureArgs Parse(std::vector<std::string_view> args) { return ParseCaptureArgs(args); }

TEST(CaptureArgs, SongOnlyTakesItsDefaultsAndOptions) {
  CaptureArgs a = Parse({"--song-only", "--wav", "out.wav"});
  ASSERT_EQ(a.Error, "");
  EXPECT_EQ(a.Options.Action, CaptureAction::SongOnly);
  EXPECT_EQ(a.Options.WavPath, "out.wav");
  EXPECT_EQ(a.Options.Rate, 48000u);
  EXPECT_FALSE(a.Options.Seconds.has_value());
  EXPECT_EQ(a.Options.SongPath, "");

  a = Parse({"--rate", "44100", "--wav", "x.wav", "--seconds", "2.5", "--song-only", "--song", "s.bin"});
  ASSERT_EQ(a.Error, "");
  EXPECT_EQ(a.Options.Rate, 44100u);
  EXPECT_EQ(a.Options.Seconds, 2.5);
  EXPECT_EQ(a.Options.SongPath, "s.bin");
}

TEST(CaptureArgs, OtherActions) {
  EXPECT_EQ(Parse({"--write-song", "song.bin"}).Options.Action, CaptureAction::WriteSong);
  EXPECT_EQ(Parse({"--print-song", "--song", "a"}).Options.Action, CaptureAction::PrintSong);
  EXPECT_EQ(Parse({"--song-only", "--bogus", "--help"}).Options.Action, CaptureAction::Help);
}

TEST(CaptureArgs, RefusesWhatItCannotDo) {
  const struct { std::vector<std::string_view> args; const char* error; } cases[] = {
      {{"--song-only"}, "--song-only needs --wav"},
      {{"--print-song", "--wav", "a.wav"}, "--wav goes with --song-only or with the show"},
      {{"--song-only", "--wav"}, "--wav needs a value"},
      {{"--song-only", "--wav", ""}, "non-empty"},
      {{"--song-only", "--wav", "a", "--rate", "0"}, "--rate needs a whole number"},
      {{"--song-only", "--wav", "a", "--rate", "44.1k"}, "--rate needs a whole number"},
      {{"--song-only", "--wav", "a", "--rate", "99999999999"}, "--rate needs a whole number"},
      {{"--song-only", "--wav", "a", "--seconds", "-1"}, "--seconds needs a number"},
      {{"--song-only", "--wav", "a", "--seconds", "inf"}, "--seconds needs a number"},
      {{"--song-only", "--wav", "a", "--seconds", "1e3"}, "--seconds needs a number"},
      {{"--song-only", "--wav", "a", "--wav", "b"}, "--wav is given twice"},
      {{"--song-only", "--wav", "a", "--print-song"}, "cannot be combined"},
      {{"--song-only", "--wav", "a", "--png-dir", "f"}, "belong to the show"},
      {{"--write-song", "a", "--song", "b"}, "--song cannot be used"},
      {{"--print-song", "--rate", "8000"}, "belong to --song-only"},
      {{"--pngdir", "frames"}, "unknown option \"--pngdir\""},
  };
  for (const auto& c : cases) {
    const CaptureArgs a = ParseCaptureArgs(c.args);
    EXPECT_NE(a.Error.find(c.error), std::string::npos) << "got: " << a.Error;
  }
}

std::uint32_t Read32(const std::uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

TEST(WavFile, HeaderDescribesMono16BitPcm) {
  const auto h = WavHeader(48000, 1000);
  EXPECT_EQ(std::memcmp(&h[0], "RIFF", 4), 0);
  EXPECT_EQ(Read32(&h[4]), 36u + 2000u);
  EXPECT_EQ(std::memcmp(&h[8], "WAVEfmt ", 8), 0);
  EXPECT_EQ(Read32(&h[16]), 16u);
  EXPECT_EQ(h[20] | h[21] << 8, 1);   // PCM
  EXPECT_EQ(h[22] | h[23] << 8, 1);   // mono
  EXPECT_EQ(Read32(&h[24]), 48000u);
  EXPECT_EQ(Read32(&h[28]), 96000u);  // bytes per second
  EXPECT_EQ(h[32] | h[33] << 8, 2);   // block align
  EXPECT_EQ(h[34] | h[35] << 8, 16);
  EXPECT_EQ(std::memcmp(&h[36], "data", 4), 0);
  EXPECT_EQ(Read32(&h[40]), 2000u);
}

TEST(WavFile, SamplesAreLittleEndian) {
  std::vector<std::uint8_t> bytes;
  const std::int16_t samples[] = {1, -2, 0x1234, -32768};
  AppendSamples(bytes, samples);
  const std::vector<std::uint8_t> expected = {0x01, 0x00, 0xFE, 0xFF, 0x34, 0x12, 0x00, 0x80};
  EXPECT_EQ(bytes, expected);
}

TEST(SongText, NoteNamesPutA440AtA4) {
  EXPECT_EQ(NoteName(60), "A-4");
  EXPECT_EQ(NoteName(51), "C-4");
  EXPECT_EQ(NoteName(52), "C#4");
  EXPECT_EQ(NoteName(28), "C#2");
  EXPECT_EQ(NoteName(3), "C-0");
  EXPECT_EQ(NoteName(1), "A#-1");
  EXPECT_EQ(NoteName(97), "A#7");
}

}  // namespace
