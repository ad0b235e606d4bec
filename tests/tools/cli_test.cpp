// The capture tool as a program: exit codes, messages, what it writes, that
// it writes the same on every run, and that a failed or interrupted run
// leaves nothing behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "demo/balls.h"
#include "read_back.h"
#include "show_span.h"
#include "tests/synth/song_builder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::int16_t> WavSamples(const fs::path& path) {
  const std::string wav = ReadFile(path);
  std::vector<std::int16_t> samples;
  for (std::size_t i = 44; i + 1 < wav.size(); i += 2)
    samples.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(wav[i]) | static_cast<std::uint8_t>(wav[i + 1]) << 8));
  return samples;
}

// Pixels in the rectangle [x0, x1) x [y0, y1) for which `test` holds.
template <typename Test>
int Count(const Picture& p, int x0, int y0, int x1, int y1, Test test) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += test(p.At(x, y)) ? 1 : 0;
  return n;
}

struct RunResult {
  int Code = -1;   // exit code, -1 when ended by a signal
  int Signal = 0;  // the signal that ended it
  std::string Out, Err;
};

class CaptureCli : public ::testing::Test {
 protected:
  fs::path Dir, OutDir;
  std::string Path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = fs::temp_directory_path() / ("dxvornik85-cli-test-" + std::to_string(getpid()) + "-" + info->name());
    OutDir = Dir / "out";
    fs::remove_all(Dir);
    fs::create_directories(OutDir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::string Out(const std::string& name) const { return (OutDir / name).string(); }

  pid_t Start(std::vector<std::string> args) {
    const std::string out = (Dir / "stdout").string(), err = (Dir / "stderr").string();
    const std::string pathVariable = "PATH=" + Path;
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
      dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
      std::vector<char*> argv = {const_cast<char*>(CAPTURE_BINARY)};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      char* env[] = {const_cast<char*>(pathVariable.c_str()), nullptr};
      execve(CAPTURE_BINARY, argv.data(), env);
      _exit(127);
    }
    return pid;
  }

  RunResult Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult r;
    if (WIFEXITED(status)) r.Code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) r.Signal = WTERMSIG(status);
    r.Out = ReadFile(Dir / "stdout");
    r.Err = ReadFile(Dir / "stderr");
    return r;
  }

  RunResult Capture(std::vector<std::string> args) { return Wait(Start(std::move(args))); }

  // Every file and directory under the output directory, hidden ones too.
  std::vector<std::string> Left() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(OutDir))
      names.push_back(fs::relative(entry.path(), OutDir).string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // A stand-in for ffmpeg on PATH: reads some of the frames, then fails.
  void FakeFailingFfmpeg() {
    const fs::path bin = Dir / "fakebin";
    fs::create_directories(bin);
    std::ofstream(bin / "ffmpeg") << "#!/bin/sh\nhead -c 5000000 >/dev/null\necho 'fake ffmpeg gives up' >&2\nexit 3\n";
    fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
    Path = bin.string() + ":" + Path;
  }

  // PATH with every directory that holds an ffmpeg left out.
  void PathWithoutFfmpeg() {
    std::string kept;
    std::stringstream dirs(Path);
    for (std::string d; std::getline(dirs, d, ':');)
      if (!d.empty() && !fs::exists(fs::path(d) / "ffmpeg")) kept += (kept.empty() ? "" : ":") + d;
    Path = kept;
  }
};

bool HaveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1 && ffprobe -version >/dev/null 2>&1") == 0; }

TEST_F(CaptureCli, SongOnlyWavIsTheSongSampleForSample) {
  const RunResult help = Capture({"--help"});
  EXPECT_EQ(help.Code, 0);
  EXPECT_NE(help.Out.find("--song-only --wav FILE"), std::string::npos);
  EXPECT_NE(help.Out.find("Exit codes"), std::string::npos);

  std::ofstream(Out("a.wav")) << "old";  // replaced only when the new one is done
  ASSERT_EQ(Capture({"--song-only", "--wav", Out("a.wav"), "--rate", "8000", "--seconds", "0.5"}).Code, 0);
  EXPECT_EQ(WavSamples(Out("a.wav")), BuiltInSongSamples(8000, 4000));
  EXPECT_EQ(ReadFile(Out("a.wav")).size(), 44u + 2 * 4000);
  ASSERT_EQ(Capture({"--song-only", "--wav", Out("b.wav"), "--rate", "8000", "--seconds", "0.00013"}).Code, 0);
  EXPECT_EQ(WavSamples(Out("b.wav")).size(), 1u);  // 1.04 samples round down
  // By default one loop: 23 rows of 160 ticks of 160 samples, each row one sample longer.
  ASSERT_EQ(Capture({"--song-only", "--wav", Out("loop.wav"), "--rate", "8000"}).Code, 0);
  EXPECT_EQ(WavSamples(Out("loop.wav")).size(), 23u * (160 * 160 + 1));
  EXPECT_EQ(Left(), (std::vector<std::string>{"a.wav", "b.wav", "loop.wav"}));
}

TEST_F(CaptureCli, WritesTheBuiltInSongAndPrintsItFromAFile) {
  ASSERT_EQ(Capture({"--write-song", Out("song.bin")}).Code, 0);
  EXPECT_EQ(ReadFile(Out("song.bin")), std::string(BuiltInSong, BuiltInSong + BuiltInSongSize));
  const RunResult builtIn = Capture({"--print-song"});
  ASSERT_EQ(builtIn.Code, 0);
  EXPECT_EQ(Capture({"--print-song", "--song", Out("song.bin")}).Out, builtIn.Out);
  for (const char* text : {"23 rows", "One loop: 3680 ticks, 73.60 s", "Track 0 (offset 111",
                           "C#2", "instrument 1", "Program 0 (offset 565)", "stop"})
    EXPECT_NE(builtIn.Out.find(text), std::string::npos) << text;
}

TEST_F(CaptureCli, BadArgumentsExitWith2AndMakeNothing) {
  // The parser's messages are its unit tests' to check; here is one refusal of
  // each kind: a bad value, an unknown option, a rate and a range refused once
  // the song and the show are known.
  std::ofstream(Out("keep.wav")) << "old";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--song-only", "--wav", Out("keep.wav"), "--rate", "49"}, "--rate: a sample rate of 49 Hz gives 0"},
      {{"--video", Out("v.mp4"), "--rate", "49"}, "--rate: a sample rate of 49 Hz gives 0"},
      {{"--song-only", "--wav", Out("x.wav"), "--seconds", "100000000"}, "the sound would be too long"},
      {{"--png-dir", Out("f"), "--frames", "0,511", "--frame-us", "100000"}, "--frames: the show has frames 0 to 510"},
      {{"--png-dir", Out("f"), "--frames", "5-3"}, "--frames: \"5-3\" runs backwards"},
      {{"--frobnicate"}, "unknown option"},
  };
  for (const auto& [args, error] : cases) {
    const RunResult r = Capture(args);
    EXPECT_EQ(r.Code, 2) << error;
    EXPECT_NE(r.Err.find("dxvornik85-capture: " + error), std::string::npos) << r.Err;
  }
  EXPECT_EQ(Left(), std::vector<std::string>{"keep.wav"});
  EXPECT_EQ(ReadFile(Out("keep.wav")), "old");
  // With no output the show is only played.
  EXPECT_EQ(Capture({"--frame-us", "100000"}).Code, 0);
  EXPECT_EQ(Left(), std::vector<std::string>{"keep.wav"});
}

TEST_F(CaptureCli, RefusedImageOrUnreadableFileExitsWith1AndWritesNothing) {
  std::string image(BuiltInSong, BuiltInSong + BuiltInSongSize);
  image[111] = 0x63;  // track 0 starts with an illegal command byte
  std::ofstream(Dir / "bad.bin", std::ios::binary) << image;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--song-only", "--wav", Out("x.wav"), "--song", (Dir / "bad.bin").string()},
        std::vector<std::string>{"--print-song", "--song", (Dir / "bad.bin").string()},
        std::vector<std::string>{"--wav", Out("x.wav"), "--song", (Dir / "bad.bin").string()}}) {
    const RunResult r = Capture(args);
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Err.find("track 0 has the illegal command byte 99 at offset 111"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");
  }
  RunResult r = Capture({"--print-song", "--song", (Dir / "missing.bin").string()});
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot open"), std::string::npos);
  r = Capture({"--write-song", Out("no-such-dir/song.bin")});
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot create"), std::string::npos);
  EXPECT_TRUE(Left().empty());
}

TEST_F(CaptureCli, ShowWavHoldsTheSoundOfExactlyTheCapturedFrames) {
  ASSERT_EQ(Capture({"--wav", Out("10ms.wav")}).Code, 0);
  const std::vector<std::int16_t> show = WavSamples(Out("10ms.wav"));
  EXPECT_EQ(show.size(), 5102u * 480);
  ASSERT_EQ(Capture({"--wav", Out("odd.wav"), "--frame-us", "33333", "--rate", "22050"}).Code, 0);
  EXPECT_EQ(static_cast<std::int64_t>(WavSamples(Out("odd.wav")).size()),
            SamplesBeforeFrame(ShowFrameCount(33333), 33333, 22050));

  // The first second is the audio thread's first fill, made before the
  // render thread draws from the generator; after it the set-up's draws
  // change the noise, so the show's sound parts from the song on its own.
  const std::vector<std::int16_t> alone = BuiltInSongSamples(48000, show.size());
  EXPECT_TRUE(std::equal(alone.begin(), alone.begin() + 48000, show.begin()));
  EXPECT_NE(alone, show);
}

// The first frame of each second, by the render thread's clock arithmetic.
std::map<int, std::int64_t> FirstFrameOfEachSecond(std::int64_t period) {
  std::map<int, std::int64_t> first;
  double clock = 0, delta = 0;
  for (std::int64_t frame = 0; clock < 52; ++frame) {
    first.emplace(static_cast<int>(clock), frame);
    clock += delta;
    delta = static_cast<double>(period) / 1e6;
  }
  return first;
}

std::string FrameName(std::int64_t frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05lld.png", static_cast<long long>(frame));
  return name;
}

TEST_F(CaptureCli, PngFramesFollowTheListAndEachIsTheFrameItIsNamedAfter) {
  const std::map<int, std::int64_t> first = FirstFrameOfEachSecond(100000);
  const std::vector<std::int64_t> chosen = {first.at(0), first.at(10) - 1, first.at(10), first.at(21),
                                            first.at(36), 510};
  std::string list = "2-3";
  for (std::int64_t frame : chosen) list.append(",").append(std::to_string(frame));
  const RunResult r = Capture({"--png-dir", Out("f"), "--frames", list, "--frame-us", "100000"});
  ASSERT_EQ(r.Code, 0) << r.Err;
  std::vector<std::string> expected = {"f", "f/" + FrameName(2), "f/" + FrameName(3)};
  for (std::int64_t frame : chosen) expected.push_back("f/" + FrameName(frame));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Left(), expected);

  std::vector<Picture> p;
  for (std::int64_t frame : chosen) p.push_back(DecodePng(ReadFile(OutDir / "f" / FrameName(frame))));
  ASSERT_EQ(p[5].Width, 800);
  ASSERT_EQ(p[5].Height, 600);
  const auto pureGreen = [](Colour32 c) { return c == 0x00FF00; };
  const auto notBlack = [](Colour32 c) { return c != 0; };
  const auto white = [](Colour32 c) { return c == 0xFFFFFF; };
  const int arenaWidth = ArenaRight - ArenaLeft + 1;

  // Each file must be the frame it is named after; what each scene draws is
  // held by the timeline tests and the golden hashes, and a PNG's pixels by
  // the encoder test. The first title, green, around row 300 and nothing else.
  EXPECT_GT(Count(p[0], 0, 250, 800, 350, pureGreen), 200);
  EXPECT_EQ(Count(p[0], 0, 0, 800, 600, notBlack), Count(p[0], 0, 250, 800, 350, pureGreen));
  // Still a title in second 9, no arena; then the arena's white frame with balls inside.
  EXPECT_EQ(Count(p[1], ArenaLeft, ArenaTop, ArenaRight + 1, ArenaTop + 1, white), 0);
  EXPECT_EQ(Count(p[2], ArenaLeft, ArenaTop, ArenaRight + 1, ArenaTop + 1, white), arenaWidth);
  EXPECT_EQ(Count(p[2], ArenaLeft, ArenaBottom, ArenaRight + 1, ArenaBottom + 1, white), arenaWidth);
  EXPECT_GT(Count(p[2], ArenaLeft + 1, ArenaTop + 1, ArenaRight, ArenaBottom, notBlack), 1000);
}

TEST_F(CaptureCli, CombinedOutputsAreTheSameOnEveryRunAndTheVideoPlays) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg and ffprobe are needed";
  for (const char* run : {"a", "b"}) {
    const std::string d = Out(run);
    fs::create_directories(d);
    const RunResult r = Capture({"--frame-us", "100000", "--png-dir", d + "/frames", "--frames", "0-3,200,480-510",
                                 "--wav", d + "/show.wav", "--video", d + "/show.mp4"});
    ASSERT_EQ(r.Code, 0) << r.Err;
  }
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(OutDir / "a")) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const fs::path twin = OutDir / "b" / fs::relative(entry.path(), OutDir / "a");
    EXPECT_EQ(ReadFile(entry.path()), ReadFile(twin)) << twin;
  }
  EXPECT_EQ(files, 4 + 1 + 31 + 2);

  const std::string probe = (Dir / "probe.txt").string();
  const std::string command =
      "ffprobe -v error -show_entries stream=codec_type,codec_name,pix_fmt,width,height,r_frame_rate,"
      "sample_rate,nb_frames:format=duration -of default=noprint_wrappers=1 '" + Out("a/show.mp4") + "' > '" + probe + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string info = ReadFile(probe);
  for (const char* line : {"codec_name=h264", "pix_fmt=yuv420p", "width=800", "height=600", "r_frame_rate=10/1",
                           "nb_frames=511", "codec_name=aac", "sample_rate=48000"})
    EXPECT_NE(info.find(std::string(line) + "\n"), std::string::npos) << line << " in\n" << info;
  const std::size_t at = info.find("duration=");
  ASSERT_NE(at, std::string::npos);
  EXPECT_NEAR(std::atof(info.c_str() + at + 9), 51.1, 0.05) << info;  // 511 frames of 100 ms
}

TEST_F(CaptureCli, FailuresLeaveNothingBehind) {
  std::ofstream(Out("file.txt")) << "not a directory";
  // A WAV that cannot be made stops the frames too.
  RunResult r = Capture({"--frame-us", "100000", "--png-dir", Out("frames"), "--wav", Out("no-such/x.wav")});
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("no-such/x.wav"), std::string::npos) << r.Err;
  // A frame directory that cannot be made (a file is in the way).
  r = Capture({"--frame-us", "100000", "--png-dir", Out("file.txt"), "--wav", Out("w.wav")});
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("file.txt"), std::string::npos) << r.Err;
  EXPECT_EQ(Left(), std::vector<std::string>{"file.txt"});

  // ffmpeg missing: told plainly, nothing made.
  const std::string fullPath = Path;
  PathWithoutFfmpeg();
  const std::vector<std::string> all = {"--frame-us", "100000", "--png-dir", Out("frames"),
                                        "--wav",      Out("w.wav"), "--video", Out("v.mp4")};
  r = Capture(all);
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("ffmpeg, which is not on PATH"), std::string::npos) << r.Err;
  EXPECT_EQ(Left(), std::vector<std::string>{"file.txt"});

  // ffmpeg failing part-way: its status is checked, the other outputs go too.
  Path = fullPath;
  FakeFailingFfmpeg();
  r = Capture(all);
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("fake ffmpeg gives up"), std::string::npos) << r.Err;
  EXPECT_EQ(Left(), std::vector<std::string>{"file.txt"});
}

// Waits until a file whose name starts with `prefix` has bytes somewhere
// under the output directory.
bool UnderWay(const fs::path& dir, const std::string& prefix) {
  for (int i = 0; i < 6000; ++i) {
    std::error_code ignored;
    for (auto entry = fs::recursive_directory_iterator(dir, ignored); entry != fs::recursive_directory_iterator();
         entry.increment(ignored))
      if (entry->path().filename().string().rfind(prefix, 0) == 0 && entry->is_regular_file(ignored) &&
          entry->file_size(ignored) > 0)
        return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(CaptureCli, InterruptedCaptureRemovesWhatItBegan) {
  for (int signal : {SIGINT, SIGTERM}) {
    const pid_t pid = Start({"--png-dir", Out("frames"), "--wav", Out("w.wav")});
    ASSERT_TRUE(UnderWay(OutDir, "frame-"));
    kill(pid, signal);
    EXPECT_EQ(Wait(pid).Signal, signal);
    EXPECT_TRUE(Left().empty()) << Left().front();
  }
  if (!HaveFfmpeg()) return;
  const pid_t pid = Start({"--video", Out("v.mp4"), "--wav", Out("w.wav")});
  EXPECT_TRUE(UnderWay(OutDir, "v.mp4.tmp-"));
  kill(pid, SIGINT);
  EXPECT_EQ(Wait(pid).Signal, SIGINT);
  EXPECT_TRUE(Left().empty());
}

}  // namespace
