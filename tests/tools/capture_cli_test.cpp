// The capture tool as a program: exit codes, messages and the files it
// leaves behind (complete ones only).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "raster/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  const std::string text = ReadText(path);
  return {text.begin(), text.end()};
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct RunResult {
  int Code = -1;
  std::string Out, Err;
};

class CaptureCli : public ::testing::Test {
 protected:
  fs::path Dir;

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = fs::temp_directory_path() /
          ("dxvornik85-capture-test-" + std::to_string(getpid()) + "-" + info->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir / "out");
  }
  void TearDown() override { fs::remove_all(Dir); }

  RunResult Capture(std::vector<std::string> args) {
    const std::string out = (Dir / "stdout").string(), err = (Dir / "stderr").string();
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
      dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
      std::vector<char*> argv = {const_cast<char*>(CAPTURE_BINARY)};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(CAPTURE_BINARY, argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out), ReadText(err)};
  }

  std::vector<std::string> OutputFiles() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Dir / "out")) names.push_back(entry.path().filename());
    return names;
  }

  std::string Out(const char* name) { return (Dir / "out" / name).string(); }
};

std::vector<std::int16_t> DirectRender(std::uint32_t rate, std::int32_t samples) {
  Synth s;
  EXPECT_EQ(StartSynth(s, {BuiltInSong, BuiltInSong + BuiltInSongSize}, rate), "");
  RandomSeed = 0;
  std::vector<std::int16_t> out(samples);
  RenderSamples(s, out.data(), samples);
  return out;
}

std::vector<std::int16_t> WavSamples(const std::vector<std::uint8_t>& wav) {
  std::vector<std::int16_t> samples;
  for (std::size_t i = 44; i + 1 < wav.size(); i += 2)
    samples.push_back(static_cast<std::int16_t>(wav[i] | wav[i + 1] << 8));
  return samples;
}

TEST_F(CaptureCli, HelpDescribesTheCommandsAndExitCodes) {
  const RunResult r = Capture({"--help"});
  EXPECT_EQ(r.Code, 0);
  EXPECT_NE(r.Out.find("--song-only --wav FILE"), std::string::npos);
  EXPECT_NE(r.Out.find("Exit codes"), std::string::npos);
}

TEST_F(CaptureCli, RendersTheRequestedLengthSampleForSample) {
  const RunResult r = Capture({"--song-only", "--wav", Out("a.wav"), "--rate", "8000", "--seconds", "0.5"});
  ASSERT_EQ(r.Code, 0) << r.Err;
  const auto wav = ReadBytes(Out("a.wav"));
  ASSERT_EQ(wav.size(), 44u + 2 * 4000);
  EXPECT_EQ(WavSamples(wav), DirectRender(8000, 4000));
  EXPECT_EQ(OutputFiles(), std::vector<std::string>{"a.wav"});

  ASSERT_EQ(Capture({"--song-only", "--wav", Out("b.wav"), "--rate", "8000", "--seconds", "0.00013"}).Code, 0);
  EXPECT_EQ(ReadBytes(Out("b.wav")).size(), 44u + 2);  // 1.04 samples round down
}

TEST_F(CaptureCli, DefaultLengthIsOneLoopOfTheSong) {
  ASSERT_EQ(Capture({"--song-only", "--wav", Out("loop.wav"), "--rate", "8000"}).Code, 0);
  // 23 rows of 160 ticks of 160 samples, each row one sample longer.
  EXPECT_EQ(ReadBytes(Out("loop.wav")).size(), 44u + 2 * 23 * (160 * 160 + 1));
}

TEST_F(CaptureCli, WritesTheBuiltInSongAndPlaysItBackFromAFile) {
  ASSERT_EQ(Capture({"--write-song", Out("song.bin")}).Code, 0);
  EXPECT_EQ(ReadBytes(Out("song.bin")), std::vector<std::uint8_t>(BuiltInSong, BuiltInSong + BuiltInSongSize));

  const RunResult builtIn = Capture({"--print-song"});
  const RunResult fromFile = Capture({"--print-song", "--song", Out("song.bin")});
  ASSERT_EQ(builtIn.Code, 0);
  EXPECT_EQ(fromFile.Out, builtIn.Out);
  for (const char* text : {"23 rows", "One loop: 3680 ticks, 73.60 s", "Track 0 (offset 111",
                           "C#2", "instrument 1", "Program 0 (offset 565)", "stop"})
    EXPECT_NE(builtIn.Out.find(text), std::string::npos) << text;
}

TEST_F(CaptureCli, BadArgumentsExitWith2AndWriteNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"--song-only", "--wav", Out("x.wav"), "--rate", "fast"},
      {"--song-only", "--wav", Out("x.wav"), "--rate", "49"},  // no sample per tick
      {"--song-only", "--wav", Out("x.wav"), "--seconds", "100000000"},
      {"--song-only", "--wav", Out("x.wav"), "--frame-us", "5000"},
      {"--frobnicate"},
  };
  for (const auto& args : cases) {
    const RunResult r = Capture(args);
    EXPECT_EQ(r.Code, 2) << args.back();
    EXPECT_NE(r.Err.find("dxvornik85-capture: "), std::string::npos) << r.Err;
  }
  EXPECT_TRUE(OutputFiles().empty());
}

TEST_F(CaptureCli, RefusedImageExitsWith1AndWritesNothing) {
  std::vector<std::uint8_t> image(BuiltInSong, BuiltInSong + BuiltInSongSize);
  image[111] = 0x63;  // track 0 starts with an illegal command byte
  WriteBytes(Dir / "bad.bin", image);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--song-only", "--wav", Out("x.wav"), "--song", (Dir / "bad.bin").string()},
        std::vector<std::string>{"--print-song", "--song", (Dir / "bad.bin").string()}}) {
    const RunResult r = Capture(args);
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Err.find("track 0 has the illegal command byte 99 at offset 111"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");
  }
  EXPECT_TRUE(OutputFiles().empty());
}

TEST_F(CaptureCli, UnreadableOrUnwritableFilesExitWith1) {
  RunResult r = Capture({"--print-song", "--song", (Dir / "missing.bin").string()});
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot open"), std::string::npos);

  r = Capture({"--write-song", (Dir / "no-such-dir" / "song.bin").string()});
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot create"), std::string::npos);
}

TEST_F(CaptureCli, ReplacesAnExistingFileOnlyWhenDone) {
  WriteBytes(Out("a.wav"), {1, 2, 3});
  const RunResult r = Capture({"--song-only", "--wav", Out("a.wav"), "--rate", "49"});
  EXPECT_EQ(r.Code, 2);
  EXPECT_EQ(ReadBytes(Out("a.wav")), (std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_EQ(Capture({"--song-only", "--wav", Out("a.wav"), "--rate", "8000", "--seconds", "0.01"}).Code, 0);
  EXPECT_EQ(ReadBytes(Out("a.wav")).size(), 44u + 160);
  EXPECT_EQ(OutputFiles(), std::vector<std::string>{"a.wav"});
}

}  // namespace
