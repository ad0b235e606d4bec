// The show capture as a program: what it writes, that it writes the same
// on every run, and that a failed or interrupted run leaves nothing behind.
#include <gtest/gtest.h>
#include <png.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "demo/balls.h"
#include "raster/random.h"
#include "show_span.h"
#include "synth/dxvornik.h"
#include "synth/song.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::int16_t> WavSamples(const fs::path& path) {
  const std::string wav = ReadText(path);
  std::vector<std::int16_t> samples;
  for (std::size_t i = 44; i + 1 < wav.size(); i += 2)
    samples.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(wav[i]) | static_cast<std::uint8_t>(wav[i + 1]) << 8));
  return samples;
}

struct Picture {
  int Width = 0, Height = 0;
  std::vector<Colour32> Pixels;
  Colour32 At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

Picture ReadPng(const fs::path& path) {
  Picture picture;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return picture;
  picture.Width = static_cast<int>(image.width);
  picture.Height = static_cast<int>(image.height);
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
    picture.Pixels.push_back(static_cast<Colour32>(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]));
  return picture;
}

// Pixels in the rectangle [x0, x1) x [y0, y1) for which `test` holds.
template <typename Test>
int Count(const Picture& p, int x0, int y0, int x1, int y1, Test test) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += test(p.At(x, y)) ? 1 : 0;
  return n;
}

int Red(Colour32 c) { return static_cast<int>(c >> 16 & 0xFF); }
int Green(Colour32 c) { return static_cast<int>(c >> 8 & 0xFF); }
int Blue(Colour32 c) { return static_cast<int>(c & 0xFF); }

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

struct RunResult {
  int Code = -1;    // exit code, -1 when ended by a signal
  int Signal = 0;   // the signal that ended it
  std::string Err;
};

class ShowCli : public ::testing::Test {
 protected:
  fs::path Dir, OutDir;
  std::string Path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = fs::temp_directory_path() / ("dxvornik85-show-test-" + std::to_string(getpid()) + "-" + info->name());
    OutDir = Dir / "out";
    fs::remove_all(Dir);
    fs::create_directories(OutDir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::string Out(const std::string& name) const { return (OutDir / name).string(); }

  pid_t Start(std::vector<std::string> args) {
    const std::string err = (Dir / "stderr").string();
    const std::string pathVariable = "PATH=" + Path;
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(open("/dev/null", O_WRONLY), 1);
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
    r.Err = ReadText(Dir / "stderr");
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
    std::ofstream script(bin / "ffmpeg");
    script << "#!/bin/sh\nhead -c 5000000 >/dev/null\necho 'fake ffmpeg gives up' >&2\nexit 3\n";
    script.close();
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

TEST_F(ShowCli, BadArgumentsExitWith2AndMakeNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"--png-dir", Out("f"), "--frames", "5-3"},
      {"--png-dir", Out("f"), "--frames", "1,,2"},
      {"--png-dir", Out("f"), "--frames", "abc"},
      {"--frames", "1", "--wav", Out("w.wav")},                                    // frames without PNGs
      {"--png-dir", Out("f"), "--frames", "0,511", "--frame-us", "100000"},        // past the last frame
      {"--png-dir", Out("f"), "--frame-us", "999"},
      {"--wav", Out("w.wav"), "--frame-us", "10ms"},
      {"--wav", Out("w.wav"), "--seconds", "2"},
      {"--video", Out("v.mp4"), "--rate", "49"},
  };
  for (const auto& args : cases) {
    const RunResult r = Capture(args);
    EXPECT_EQ(r.Code, 2) << args[1] << " " << args.back();
    EXPECT_NE(r.Err.find("dxvornik85-capture: "), std::string::npos) << r.Err;
  }
  const RunResult beyond = Capture({"--png-dir", Out("f"), "--frames", "0,511", "--frame-us", "100000"});
  EXPECT_NE(beyond.Err.find("frames 0 to 510"), std::string::npos) << beyond.Err;
  EXPECT_TRUE(Left().empty());
  // With no output the show is only played.
  EXPECT_EQ(Capture({"--frame-us", "100000"}).Code, 0);
  EXPECT_TRUE(Left().empty());
}

TEST_F(ShowCli, WavHoldsTheSoundOfExactlyTheCapturedFrames) {
  ASSERT_EQ(Capture({"--wav", Out("10ms.wav")}).Code, 0);
  const std::vector<std::int16_t> show = WavSamples(Out("10ms.wav"));
  EXPECT_EQ(ShowFrameCount(10000), 5102);
  EXPECT_EQ(show.size(), 5102u * 480);

  ASSERT_EQ(Capture({"--wav", Out("100ms.wav"), "--frame-us", "100000", "--rate", "44100"}).Code, 0);
  EXPECT_EQ(WavSamples(Out("100ms.wav")).size(), 511u * 4410);
  ASSERT_EQ(Capture({"--wav", Out("odd.wav"), "--frame-us", "33333", "--rate", "22050"}).Code, 0);
  EXPECT_EQ(static_cast<std::int64_t>(WavSamples(Out("odd.wav")).size()),
            SamplesBeforeFrame(ShowFrameCount(33333), 33333, 22050));

  // The first second is the audio thread's first fill, made before the
  // render thread draws from the generator; after it the set-up's draws
  // change the noise, so the show's sound parts from the song on its own.
  Synth synth;
  ASSERT_EQ(StartSynth(synth, {BuiltInSong, BuiltInSong + BuiltInSongSize}, 48000), "");
  RandomSeed.store(0);
  std::vector<std::int16_t> alone(show.size());
  RenderSamples(synth, alone.data(), static_cast<std::int32_t>(alone.size()));
  EXPECT_TRUE(std::equal(alone.begin(), alone.begin() + 48000, show.begin()));
  EXPECT_NE(alone, show);
}

TEST_F(ShowCli, PngFramesFollowTheFrameList) {
  const RunResult r = Capture({"--png-dir", Out("frames"), "--frames", "510,2-4,0", "--frame-us", "100000"});
  ASSERT_EQ(r.Code, 0) << r.Err;
  const std::vector<std::string> expected = {"frames", "frames/frame-00000.png", "frames/frame-00002.png",
                                             "frames/frame-00003.png", "frames/frame-00004.png",
                                             "frames/frame-00510.png"};
  EXPECT_EQ(Left(), expected);
  const Picture last = ReadPng(Out("frames/frame-00510.png"));
  EXPECT_EQ(last.Width, 800);
  EXPECT_EQ(last.Height, 600);
}

TEST_F(ShowCli, FirstFrameOfEachSceneLooksRight) {
  const std::map<int, std::int64_t> first = FirstFrameOfEachSecond(100000);
  const std::int64_t title = first.at(0), lastTitle = first.at(10) - 1, balls = first.at(10),
                     rings = first.at(21), landscape = first.at(36);
  const std::string list = std::to_string(title) + "," + std::to_string(lastTitle) + "," +
                           std::to_string(balls) + "," + std::to_string(rings) + "," + std::to_string(landscape);
  ASSERT_EQ(Capture({"--png-dir", Out("f"), "--frames", list, "--frame-us", "100000"}).Code, 0);
  const auto frame = [&](std::int64_t n) { return ReadPng(OutDir / "f" / FrameName(n)); };
  const auto pureGreen = [](Colour32 c) { return c == 0x00FF00; };
  const auto notBlack = [](Colour32 c) { return c != 0; };
  const auto white = [](Colour32 c) { return c == 0xFFFFFF; };

  const Picture p0 = frame(title);  // the first title, green, around row 300
  EXPECT_GT(Count(p0, 0, 250, 800, 350, pureGreen), 200);
  EXPECT_EQ(Count(p0, 0, 0, 800, 600, notBlack), Count(p0, 0, 250, 800, 350, pureGreen));

  const Picture p1 = frame(lastTitle);  // still a title, no arena
  EXPECT_EQ(Count(p1, ArenaLeft, ArenaTop, ArenaRight + 1, ArenaTop + 1, white), 0);

  const Picture p2 = frame(balls);  // the arena's white frame, balls inside
  EXPECT_EQ(Count(p2, ArenaLeft, ArenaTop, ArenaRight + 1, ArenaTop + 1, white), ArenaRight - ArenaLeft + 1);
  EXPECT_EQ(Count(p2, ArenaLeft, ArenaBottom, ArenaRight + 1, ArenaBottom + 1, white), ArenaRight - ArenaLeft + 1);
  EXPECT_GT(Count(p2, ArenaLeft + 1, ArenaTop + 1, ArenaRight, ArenaBottom, notBlack), 1000);

  const Picture p3 = frame(rings);  // discs on the left, the orange column on the right
  EXPECT_GT(Count(p3, 0, 100, 400, 500, notBlack), 20000);
  EXPECT_GT(Count(p3, 500, 0, 800, 600, [](Colour32 c) { return Red(c) > Green(c) && Green(c) > Blue(c); }), 20000);

  const Picture p4 = frame(landscape);  // red height field below, white greeting above
  EXPECT_GT(Count(p4, 0, 300, 800, 600, [](Colour32 c) { return Red(c) >= 128 && Green(c) == Blue(c); }), 50000);
  EXPECT_GT(Count(p4, 0, 0, 800, 300, white), 100);
}

TEST_F(ShowCli, CombinedOutputsAreTheSameOnEveryRunAndTheVideoPlays) {
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
    EXPECT_EQ(ReadText(entry.path()), ReadText(twin)) << twin;
  }
  EXPECT_EQ(files, 4 + 1 + 31 + 2);

  const std::string probe = (Dir / "probe.txt").string();
  const std::string command =
      "ffprobe -v error -show_entries stream=codec_type,codec_name,pix_fmt,width,height,r_frame_rate,"
      "sample_rate,nb_frames:format=duration -of default=noprint_wrappers=1 '" + Out("a/show.mp4") + "' > '" + probe + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string info = ReadText(probe);
  for (const char* line : {"codec_name=h264", "codec_type=video", "pix_fmt=yuv420p", "width=800", "height=600",
                           "r_frame_rate=10/1", "nb_frames=511", "codec_name=aac", "codec_type=audio",
                           "sample_rate=48000"})
    EXPECT_NE(info.find(std::string(line) + "\n"), std::string::npos) << line << " in\n" << info;
  const std::size_t at = info.find("duration=");
  ASSERT_NE(at, std::string::npos);
  EXPECT_NEAR(std::atof(info.c_str() + at + 9), 51.1, 0.05) << info;  // 511 frames of 100 ms
}

TEST_F(ShowCli, FailuresLeaveNothingBehind) {
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
  r = Capture({"--frame-us", "100000", "--png-dir", Out("frames"), "--wav", Out("w.wav"), "--video", Out("v.mp4")});
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("ffmpeg, which is not on PATH"), std::string::npos) << r.Err;
  EXPECT_EQ(Left(), std::vector<std::string>{"file.txt"});

  // ffmpeg failing part-way: its status is checked, the other outputs go too.
  Path = fullPath;
  FakeFailingFfmpeg();
  r = Capture({"--frame-us", "100000", "--png-dir", Out("frames"), "--wav", Out("w.wav"), "--video", Out("v.mp4")});
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("ffmpeg"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("fake ffmpeg gives up"), std::string::npos) << r.Err;
  EXPECT_EQ(Left(), std::vector<std::string>{"file.txt"});
}

// Waits until the staging directory of a frame capture holds a file.
bool FramesUnderWay(const fs::path& dir) {
  for (int i = 0; i < 6000; ++i) {
    std::error_code ignored;
    if (fs::exists(dir, ignored))
      for (const auto& entry : fs::recursive_directory_iterator(dir, ignored))
        if (entry.is_regular_file()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(ShowCli, InterruptedCaptureRemovesWhatItBegan) {
  for (int signal : {SIGINT, SIGTERM}) {
    const pid_t pid = Start({"--png-dir", Out("frames"), "--wav", Out("w.wav")});
    ASSERT_TRUE(FramesUnderWay(OutDir / "frames"));
    kill(pid, signal);
    const RunResult r = Wait(pid);
    EXPECT_EQ(r.Signal, signal) << r.Err;
    EXPECT_TRUE(Left().empty()) << Left().front();
  }
  if (!HaveFfmpeg()) return;
  const pid_t pid = Start({"--video", Out("v.mp4"), "--wav", Out("w.wav")});
  bool started = false;
  for (int i = 0; i < 6000 && !started; ++i) {
    for (const auto& entry : fs::directory_iterator(OutDir))
      if (entry.path().filename().string().rfind("v.mp4.tmp-", 0) == 0 && fs::file_size(entry.path()) > 0) started = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(started);
  kill(pid, SIGINT);
  const RunResult r = Wait(pid);
  EXPECT_EQ(r.Signal, SIGINT) << r.Err;
  EXPECT_TRUE(Left().empty());
}

}  // namespace
