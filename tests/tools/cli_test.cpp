// The capture tool as a program: exit codes, messages, what it writes, that
// it writes the same on every run, and that a failed or interrupted run
// leaves nothing behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "demo/balls.h"
#include "png_frames.h"
#include "read_back.h"
#include "tests/synth/song_builder.h"

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Little-endian 16-bit samples from byte `from` on.
std::vector<std::int16_t> Samples(const Bytes& bytes, std::size_t from) {
    std::vector<std::int16_t> samples;
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
    return samples;
}

std::vector<std::int16_t> WavSamples(const fs::path& path) {
    return Samples(ReadFile<Bytes>(path), 44);
}

struct RunResult {
    int Code = -1, Signal = 0;  // exit code (-1 when ended by a signal), the ending signal
    std::string Out, Err;
};

class CaptureCli : public ::testing::Test {
  protected:
    fs::path Dir =
        fs::temp_directory_path() / ("dxvornik85-cli-test-" + std::to_string(getpid()) + "-" +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path OutDir = Dir / "out";
    std::string Path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";

    void SetUp() override {
        fs::remove_all(Dir);
        fs::create_directories(OutDir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    // A name under the output directory; an absolute name stays as it is.
    std::string Out(const std::string& name) const { return (OutDir / name).string(); }

    // Writes a file beside the output directory and returns its name.
    std::string Save(const std::string& name, const Bytes& bytes) const {
        std::ofstream(Dir / name, std::ios::binary) << std::string(bytes.begin(), bytes.end());
        return (Dir / name).string();
    }

    pid_t Start(Args args, std::string out = "") {
        if (out.empty()) out = (Dir / "stdout").string();
        const std::string err = (Dir / "stderr").string();
        std::string pathVariable = "PATH=" + Path;
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            std::vector<char*> argv = {const_cast<char*>(CAPTURE_BINARY)};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            char* env[] = {pathVariable.data(), nullptr};
            execve(CAPTURE_BINARY, argv.data(), env);
            _exit(127);
        }
        return pid;
    }

    RunResult Wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFSIGNALED(status) ? WTERMSIG(status) : 0,
                ReadFile(Dir / "stdout"), ReadFile(Dir / "stderr")};
    }

    RunResult Capture(Args args) { return Wait(Start(std::move(args))); }

    // A run that must end with `code`, `error` on stderr and nothing on stdout.
    void ExpectFails(const Args& args, int code, const std::string& error) {
        const RunResult r = Capture(args);
        EXPECT_EQ(r.Code, code) << error;
        EXPECT_NE(r.Err.find(error), std::string::npos) << error << " not in: " << r.Err;
        EXPECT_EQ(r.Out, "") << error;
    }

    // Every file and directory under the output directory, hidden ones too.
    Args Left() const {
        Args names;
        for (const auto& entry : fs::recursive_directory_iterator(OutDir))
            names.push_back(fs::relative(entry.path(), OutDir).string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs a shell command; what it wrote to standard output, nothing when it failed.
    template <typename Text = std::string>
    Text Shell(const std::string& command) const {
        const std::string out = (Dir / "shell-output").string();
        return std::system((command + " > '" + out + "'").c_str()) == 0 ? ReadFile<Text>(out) : Text{};
    }
};

void ExpectLines(const std::string& text, std::initializer_list<const char*> lines) {
    for (const char* line : lines)
        EXPECT_NE(text.find(std::string(line) + "\n"), std::string::npos) << line << " in\n" << text;
}

TEST_F(CaptureCli, SongOnlyWriteSongPrintSongAndHelp) {
    const RunResult help = Capture({"--bogus", "--help"});  // help wins over the rest
    EXPECT_EQ(help.Code, 0);
    EXPECT_NE(help.Out.find("--song-only --wav FILE"), std::string::npos);
    EXPECT_NE(help.Out.find("Exit codes"), std::string::npos);

    std::ofstream(Out("a.wav")) << "old";  // replaced once the new one is done
    // Lengths are exact decimals, rounded down to whole samples only at the
    // end; 0.0001 s is 4.8 samples at the default rate.
    for (const auto& [seconds, rate, samples] : {std::tuple{"0.0001", 0u, 4u},
                                                 {"2.3", 48000u, 110400u},
                                                 {"0.29", 100u, 29u},
                                                 {"000.0000209", 48000u, 1u},
                                                 {"0.5", 8000u, 4000u}}) {
        Args args = {"--song-only", "--wav", Out("a.wav"), "--seconds", seconds};
        if (rate != 0) args.insert(args.end(), {"--rate", std::to_string(rate)});
        ASSERT_EQ(Capture(args).Code, 0) << seconds;
        EXPECT_EQ(WavSamples(Out("a.wav")), BuiltInSongSamples(rate != 0 ? rate : 48000, samples)) << seconds;
    }
    // RIFF of 36 + 8000 bytes; PCM, mono, 8000 Hz, 16000 B/s, 2 bytes of 16 bits; 8000 bytes.
    EXPECT_EQ(ReadFile(Out("a.wav")).substr(0, 44),
              std::string("RIFF\x64\x1F\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0"
                          "\x80\x3E\0\0\x02\0\x10\0data\x40\x1F\0\0",
                          44));
    // By default one loop: 23 rows of 160 ticks of 160 samples, each row one sample longer.
    ASSERT_EQ(Capture({"--song-only", "--wav", Out("loop.wav"), "--rate", "8000"}).Code, 0);
    EXPECT_EQ(WavSamples(Out("loop.wav")).size(), 23u * (160 * 160 + 1));

    ASSERT_EQ(Capture({"--write-song", Out("song.bin")}).Code, 0);
    EXPECT_EQ(ReadFile(Out("song.bin")), std::string(BuiltInSong, BuiltInSong + BuiltInSongSize));
    const RunResult builtIn = Capture({"--print-song"});
    ASSERT_EQ(builtIn.Code, 0);
    EXPECT_EQ(Capture({"--print-song", "--song", Out("song.bin")}).Out, builtIn.Out);
    for (const char* text : {"23 rows", "One loop: 3680 ticks, 73.60 s", "Track 0 (offset 111", "C#2",
                             "instrument 1", "Program 0 (offset 565)", "stop"})
        EXPECT_NE(builtIn.Out.find(text), std::string::npos) << text;
    EXPECT_EQ(Left(), (Args{"a.wav", "loop.wav", "song.bin"}));
}

TEST_F(CaptureCli, BadArgumentsExitWith2AndMakeNothing) {
    const std::string keep = Out("keep.wav");
    std::ofstream(keep) << "old";
    const std::pair<Args, std::string> cases[] = {
        {{"--song-only"}, "--song-only needs --wav"},
        {{"--print-song", "--wav", keep}, "--wav goes with --song-only or with the show"},
        {{"--song-only", "--wav"}, "--wav needs a value"},
        {{"--song-only", "--wav", ""}, "--wav needs a non-empty value"},
        {{"--song-only", "--wav", keep, "--rate", "0"}, "--rate needs a whole number"},
        {{"--song-only", "--wav", keep, "--rate", "99999999999"}, "--rate needs a whole number"},
        {{"--song-only", "--wav", keep, "--seconds", "1e3"}, "--seconds needs a number"},
        {{"--song-only", "--wav", keep, "--wav", keep}, "--wav is given twice"},
        {{"--song-only", "--wav", keep, "--print-song"}, "--song-only, --write-song and --print"},
        {{"--song-only", "--wav", keep, "--video", keep}, "--png-dir, --video, --frames and"},
        {{"--write-song", keep, "--song", keep}, "--write-song writes the built-in song; --song"},
        {{"--print-song", "--rate", "8000"}, "--rate goes with --song-only or with the show"},
        {{"--write-song", keep, "--seconds", "1"}, "--seconds belongs to --song-only"},
        {{"--song-only", "--wav", keep, "--seconds", "."}, "--seconds needs a number"},
        {{"--pngdir", keep}, "unknown option \"--pngdir\""},
        {{"--frame-us", "999"}, "--frame-us needs a whole number of microseconds from 1000 to"},
        {{"--frame-us", "10000001"}, "--frame-us needs"},
        {{"--frames", "1"}, "--frames chooses PNG frames and needs --png-dir"},
        {{"--png-dir", keep, "--frames", "1", "--frames", "2"}, "--frames is given twice"},
        {{"--seconds", "3"}, "--seconds belongs to --song-only"},
        // Refused once the song and the show are known.
        {{"--song-only", "--wav", keep, "--rate", "49"}, "--rate: a sample rate of 49 Hz gives 0"},
        {{"--video", Out("v.mp4"), "--rate", "49"}, "--rate: a sample rate of 49 Hz gives 0"},
        {{"--song-only", "--wav", keep, "--seconds", "44739.2423"}, "--seconds: the sound would be too long"},
        {{"--song-only", "--wav", keep, "--seconds", "99999999999999999999999"}, "--seconds: the sound"},
        {{"--png-dir", Out("f"), "--frames", "0,511", "--frame-us", "100000"},
         "--frames: the show has frames 0 to 510"},
        {{"--png-dir", Out("f"), "--frames", "5102"},
         "--frames: the show has frames 0 to 5101 at --frame-us 10000"},
        {{"--png-dir", Out("f"), "--frames", "5-3"}, "--frames: \"5-3\" runs backwards"},
        {{"--png-dir", Out("f"), "--scale", "0"}, "--scale needs a whole number from 1 to 8, not \"0\""},
        {{"--video", Out("v.mp4"), "--scale", "9"}, "--scale needs a whole number from 1 to 8, not \"9\""},
        {{"--video", Out("v.mp4"), "--scale", "2x"}, "--scale needs a whole number"},
        {{"--video", Out("v.mp4"), "--scale", "2", "--scale", "2"}, "--scale is given twice"},
        {{"--wav", keep, "--scale", "2"}, "--scale enlarges the frames of --png-dir or --video"},
        {{"--song-only", "--wav", keep, "--scale", "2"}, "--scale enlarges the frames of"},
    };
    for (const auto& [args, error] : cases) ExpectFails(args, 2, "dxvornik85-capture: " + error);
    EXPECT_EQ(Left(), Args{"keep.wav"});
    EXPECT_EQ(ReadFile(keep), "old");
    // With no output the show is only played.
    EXPECT_EQ(Capture({"--frame-us", "100000"}).Code, 0);
    EXPECT_EQ(Left(), Args{"keep.wav"});
}

// A song image that cannot be read or played, or an output that cannot be
// made, is refused before anything is made; only a rate the user chose is the
// command line's fault.
TEST_F(CaptureCli, FailuresExitWith1AndLeaveNothingBehind) {
    const Bytes builtIn(BuiltInSong, BuiltInSong + BuiltInSongSize);
    Bytes broken = builtIn, quick = builtIn;
    broken[111] = 0x63;          // track 0 starts with an illegal command byte
    SetWord(quick, 913, 65330);  // more ticks a second than the default rate has samples
    const std::string bad = Save("bad.bin", broken), fast = Save("fast.bin", quick);
    const std::string big = Save("big.bin", Bytes(65537));
    // 85 rows of 30,000 rests of 255 x 255 ticks: each row lasts 1,950,750,000 ticks.
    SongPlan plan = QuietSong();
    plan.DurationUnit = 255;
    plan.Rows.assign(85, {0, 0, 0});
    plan.Tracks[0].clear();
    for (int rest = 0; rest < 30000; ++rest) plan.Tracks[0].insert(plan.Tracks[0].end(), {0x00, 0xFF});
    plan.Tracks[0].push_back(0x62);
    const std::string slow = Save("slow.bin", BuildSong(plan).Bytes);
    std::ofstream(Out("file.txt")) << "not a directory";
    const std::string illegal = "track 0 has the illegal command byte 99 at offset 111";
    const std::string noRate = " cannot be played at the default 48000 Hz", x = Out("x.wav");
    const std::pair<Args, std::string> cases[] = {
        {{"--song-only", "--wav", x, "--song", bad}, illegal},
        {{"--print-song", "--song", bad}, illegal},
        {{"--wav", x, "--song", bad}, illegal},
        {{"--print-song", "--song", (Dir / "missing.bin").string()}, "cannot open"},
        {{"--print-song", "--song", Dir.string()}, "the song image " + Dir.string() + " is a directory"},
        {{"--print-song", "--song", "/dev/zero"}, "/dev/zero is longer than 65536 bytes"},
        {{"--print-song", "--song", big}, "big.bin is longer than 65536 bytes"},
        {{"--print-song", "--song", "/proc/self/mem"}, "cannot read the song image /proc/self/mem"},
        {{"--song-only", "--wav", x, "--song", fast}, fast + noRate},
        {{"--song", fast}, fast + noRate},
        {{"--song-only", "--wav", x, "--song", slow},
         "one loop of " + slow + " lasts 159181200000085 samples"},
        {{"--write-song", Out("no-such-dir/song.bin")}, "cannot create"},
        // A WAV that cannot be made stops the frames too, and a frame
        // directory that cannot be made (a file is in the way) the WAV.
        {{"--frame-us", "100000", "--png-dir", Out("frames"), "--wav", Out("no-such/x.wav")},
         "no-such/x.wav"},
        {{"--frame-us", "100000", "--png-dir", Out("file.txt"), "--wav", Out("w.wav")}, "file.txt"},
    };
    for (const auto& [args, error] : cases) ExpectFails(args, 1, error);
    ExpectFails({"--song-only", "--wav", x, "--song", fast, "--rate", "8000"}, 2,
                "--rate: a sample rate of 8000 Hz gives 0 samples");
    // Printing it reads each track once, however long its rows last.
    const RunResult printed = Capture({"--print-song", "--song", slow});
    EXPECT_EQ(printed.Code, 0);
    EXPECT_NE(printed.Out.find("One loop: 165813750000 ticks"), std::string::npos);

    // ffmpeg missing is told plainly; ffmpeg failing part-way is seen by its
    // status. Either way the other outputs go too.
    const Args all = {"--frame-us", "100000",     "--png-dir", Out("frames"),
                      "--wav",      Out("w.wav"), "--video",   Out("v.mp4")};
    const fs::path bin = Dir / "bin";
    const std::string fullPath = Path;
    Path = bin.string();
    ExpectFails(all, 1, "dxvornik85-capture: --video needs ffmpeg, which is not on PATH");
    fs::create_directories(bin);
    std::ofstream(bin / "ffmpeg") << "#!/bin/sh\nhead -c 5000000 >/dev/null\n"
                                     "echo 'fake ffmpeg gives up' >&2\nexit 3\n";
    fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
    Path = bin.string() + ":" + fullPath;
    ExpectFails(all, 1, "fake ffmpeg gives up");
    EXPECT_EQ(Left(), Args{"file.txt"});
}

// Each output name is looked at once: a regular file or nothing is replaced
// whole, a link leads to the file it names, a device or FIFO is written in
// place, and what cannot be written is left as it was.
TEST_F(CaptureCli, EveryKindOfOutputIsWrittenWithoutHarmingWhatItStandsFor) {
    using enum fs::file_type;
    const std::string song(BuiltInSong, BuiltInSong + BuiltInSongSize);
    // Not the common 022, so that a mode that ignores it shows.
    const mode_t mask = 027, before = umask(mask);
    const unsigned usual = 0666 & ~mask;
    fs::create_directories(OutDir / "sub");
    fs::create_directories(OutDir / "frames/frame-00003.png");
    for (const char* name : {"old.bin", "target.bin", "keep.wav", "frames/frame-00000.png"})
        std::ofstream(Out(name)) << "old";
    chmod(Out("old.bin").c_str(), 0600);
    chmod(Out("target.bin").c_str(), 0604);
    fs::create_symlink("target.bin", Out("link"));
    fs::create_symlink("sub/new.bin", Out("dangling"));
    ASSERT_EQ(mkfifo(Out("fifo").c_str(), 0600), 0);
    // Device nodes of our own, so that a faulty build cannot replace the
    // system's; without the right to make them, the system's are safe anyway.
    std::string null = Out("null"), full = Out("full");
    if (mknod(null.c_str(), S_IFCHR, makedev(1, 3)) != 0 ||
        mknod(full.c_str(), S_IFCHR, makedev(1, 7)) != 0) {
        ASSERT_NE(geteuid(), 0u) << "cannot make device nodes as root";
        null = "/dev/null", full = "/dev/full";
    }
    for (const std::string& device : {null, full}) chmod(device.c_str(), 0666);
    const int reader = open(Out("fifo").c_str(), O_RDONLY | O_NONBLOCK);  // lets the writer open it
    const std::string longest = Out(std::string(255, 'x'));  // the longest name a directory takes
    const std::string sys = "/sys/dxvornik85.bin";

    const struct {
        Args args;
        std::string error, path;  // the message, "" for success; the path looked at afterwards
        fs::file_type type;
        unsigned perms;
        std::string content;
    } cases[] = {
        {{"--write-song", Out("new.bin")}, "", "new.bin", regular, usual, song},
        {{"--write-song", Out("old.bin")}, "", "old.bin", regular, 0600, song},
        {{"--write-song", longest}, "", longest, regular, usual, song},
        {{"--write-song", Out("link")}, "", "link", symlink, 0777, song},
        {{}, "", "target.bin", regular, 0604, song},
        {{"--write-song", Out("dangling")}, "", "sub/new.bin", regular, usual, song},
        {{"--write-song", null}, "", null, character, 0666, ""},
        {{"--write-song", Out("fifo")}, "", "fifo", fifo, 0600, ""},
        {{"--write-song", full}, "cannot write " + full + ": No space left", full, character, 0666, ""},
        {{"--write-song", sys}, "cannot create " + sys, sys, not_found, 0, ""},
        {{"--write-song", Out("sub")}, "sub is a directory", "sub", directory, 0777 & ~mask, ""},
        {{"--video", Out("fifo")}, "fifo is a FIFO; the video needs a regular file", "fifo", fifo, 0600, ""},
        // A frame's name taken by something else stops the run before the WAV is made.
        {{"--wav", Out("keep.wav"), "--png-dir", Out("frames"), "--frames", "0-5", "--frame-us", "100000"},
         "frame-00003.png is a directory",
         "keep.wav",
         regular,
         usual,
         "old"},
        {{}, "", "frames/frame-00000.png", regular, usual, "old"},
    };
    for (const auto& c : cases) {
        if (!c.args.empty()) ExpectFails(c.args, c.error.empty() ? 0 : 1, c.error);
        const fs::file_status status = fs::symlink_status(Out(c.path));
        const auto perms =
            fs::exists(status) ? static_cast<unsigned>(status.permissions() & fs::perms::mask) : 0;
        EXPECT_EQ(std::pair(status.type(), perms), std::pair(c.type, c.perms)) << c.path;
        EXPECT_TRUE(c.content.empty() || ReadFile(Out(c.path)) == c.content) << c.path;
    }
    std::string fromFifo(2 * song.size(), '\0');
    fromFifo.resize(
        static_cast<std::size_t>(std::max<ssize_t>(0, read(reader, fromFifo.data(), fromFifo.size()))));
    close(reader);
    EXPECT_EQ(fromFifo, song);
    // Text that cannot be written is a failure.
    for (const Args& args : {Args{"--print-song"}, Args{"--help"}})
        EXPECT_EQ(Wait(Start(args, full)).Code, 1) << args[0];
    umask(before);
}

TEST_F(CaptureCli, OutputsAreTheListedFramesTheSameOnEveryRunAndTheVideoPlays) {
    // The arena comes at second 10. The first frame to show it, by the render
    // thread's clock: frames 0 and 1 at 0 s, then 100 ms apart, summed.
    std::int64_t arena = 1;
    for (double clock = 0; clock < 10; clock += 0.1) ++arena;
    Args files = {"show.mp4", "show.wav"}, expected;
    for (const std::int64_t frame : {std::int64_t{2}, std::int64_t{3}, arena - 1, arena, std::int64_t{510}})
        files.push_back("f/" + PngFrameName(frame));
    // 22,051 Hz: not an AAC rate, and 2205.1 samples a frame.
    for (const std::string run : {"a", "b"}) {
        fs::create_directories(OutDir / run);
        const std::string frames = "2-3,510," + std::to_string(arena - 1) + "-" + std::to_string(arena);
        const RunResult r =
            Capture({"--frame-us", "100000", "--scale", "1", "--rate", "22051", "--png-dir", Out(run + "/f"),
                     "--frames", frames, "--wav", Out(run + "/show.wav"), "--video", Out(run + "/show.mp4")});
        ASSERT_EQ(r.Code, 0) << r.Err;
        expected.insert(expected.end(), {run, run + "/f"});
        for (const std::string& file : files) expected.push_back(run + "/" + file);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Left(), expected);
    for (const std::string& file : files)
        EXPECT_TRUE(ReadFile(OutDir / "a" / file) == ReadFile(OutDir / "b" / file)) << file << " differs";

    // Each file is the frame it is named after: a title, then the arena's white
    // top edge. What each scene draws is held by the timeline tests and the
    // golden hashes, a PNG's pixels by the encoder test.
    const auto whiteOnArenaTop = [&](std::int64_t frame) {
        const Picture p = DecodePng(ReadFile(OutDir / "a/f" / PngFrameName(frame)));
        int white = p.Width == 800 && p.Height == 600 ? 0 : -1;
        for (int x = ArenaLeft; x <= ArenaRight && white >= 0; ++x) white += p.At(x, ArenaTop) == 0xFFFFFF;
        return white;
    };
    EXPECT_EQ(whiteOnArenaTop(arena - 1), 0);
    EXPECT_EQ(whiteOnArenaTop(arena), ArenaRight - ArenaLeft + 1);

    // The sound of exactly the 511 frames. Its first second is the audio
    // thread's first fill, made before the render thread draws from the
    // generator; after it the set-up's draws change the noise, so the show's
    // sound parts from the song on its own.
    const std::vector<std::int16_t> show = WavSamples(Out("a/show.wav"));
    ASSERT_EQ(show.size(), 1126806u);  // 51.1 s at 22,051 Hz, rounded down
    const std::vector<std::int16_t> alone = BuiltInSongSamples(22051, show.size());
    EXPECT_TRUE(std::equal(alone.begin(), alone.begin() + 22051, show.begin()));
    EXPECT_NE(alone, show);

    const std::string info =
        Shell("ffprobe -v error -show_entries stream=codec_type,codec_name,pix_fmt,width,height,r_frame_rate,"
              "sample_rate,nb_frames:format=duration -of default=noprint_wrappers=1 '" +
              Out("a/show.mp4") + "'");
    ExpectLines(info,
                {"codec_name=h264", "pix_fmt=yuv420p", "width=800", "height=600", "r_frame_rate=10/1",
                 "nb_frames=511", "codec_name=aac", "sample_rate=48000"});  // ffmpeg is asked for an AAC rate
    const std::size_t at = info.find("duration=");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NEAR(std::atof(info.c_str() + at + 9), 51.1, 0.05) << info;  // 511 frames of 100 ms
}

// How deep inside a landscape facet a pixel must be to be held to the
// facet's colour: 4 video pixels, half the encoder's block, from its edge.
constexpr int FacetMargin = 2;
// AAC keeps what is heard, not the waveform: the show's square waves and
// noise come back about 30 dB below the signal. A sound one sample late
// would be 10 dB.
constexpr double SoundToErrorDb = 25;

// The largest and the sum of the three channels' differences.
std::pair<int, int> ColourError(Colour32 a, Colour32 b) {
    int worst = 0, sum = 0;
    for (int shift : {0, 8, 16}) {
        const int error = std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF));
        worst = std::max(worst, error);
        sum += error;
    }
    return {worst, sum};
}

// A frame pixel that has its colour all around it, `margin` pixels deep.
bool InsideFacet(const Picture& frame, int x, int y, int margin) {
    if (x < margin || y < margin || x + margin >= frame.Width || y + margin >= frame.Height) return false;
    for (int dy = -margin; dy <= margin; ++dy)
        for (int dx = -margin; dx <= margin; ++dx)
            if (frame.At(x + dx, y + dy) != frame.At(x, y)) return false;
    return true;
}

// The default video is twice the frame's size, and its decoded frames are
// the capture's PNG frames, pixel for pixel as 2 x 2 blocks, within what
// 4:2:0 H.264 at its quality keeps; its sound is the WAV file's. At one frame
// a second every frame is a change of picture, harder for the encoder than
// the show at 100 frames a second. --scale makes each PNG frame pixel a block.
TEST_F(CaptureCli, VideoKeepsTheFramesColoursAndTheSoundAndScaleMakesBlocks) {
    // Frame 2 (second 1) shows the first title, frame 46 (second 45) the landscape.
    const Args runs[] = {
        {"--png-dir", Out("a"), "--frames", "2,46", "--wav", Out("a.wav"), "--video", Out("a.mp4")},
        {"--png-dir", Out("b"), "--frames", "46", "--scale", "3"}};
    for (Args args : runs) {
        args.insert(args.end(), {"--frame-us", "1000000"});
        const RunResult r = Capture(args);
        ASSERT_EQ(r.Code, 0) << r.Err;
    }
    const Picture one = DecodePng(ReadFile(OutDir / "a/frame-00046.png"));
    const Picture three = DecodePng(ReadFile(OutDir / "b/frame-00046.png"));
    ASSERT_EQ(one.Width, 800);
    ASSERT_EQ(three.Width, 2400);
    ASSERT_EQ(three.Height, 1800);
    int wrong = 0;
    for (int y = 0; y < three.Height; ++y)
        for (int x = 0; x < three.Width; ++x) wrong += three.At(x, y) != one.At(x / 3, y / 3);
    EXPECT_EQ(wrong, 0);

    ExpectLines(Shell("ffprobe -v error -select_streams v -show_streams -of default=noprint_wrappers=1 '" +
                      Out("a.mp4") + "'"),
                {"profile=High", "width=1600", "height=1200", "pix_fmt=yuv420p", "color_range=tv",
                 "color_space=bt709", "color_transfer=bt709", "color_primaries=bt709"});
    // Each decoded video pixel beside the frame pixel it enlarges, converted
    // to RGB the way the video's tags say.
    const std::string decode = "ffmpeg -nostdin -v error -i '" + Out("a.mp4") + "' ";
    int strokes = 0, worstStroke = 0, facets = 0, worstFacet = 0;
    std::int64_t errors = 0;
    for (const int frame : {2, 46}) {
        const Picture png = DecodePng(ReadFile(OutDir / "a" / PngFrameName(frame)));
        const Bytes rgb = Shell<Bytes>(decode + "-vf 'select=eq(n\\," + std::to_string(frame) +
                                       ")' -vsync 0 -f rawvideo -pix_fmt rgb24 -");
        ASSERT_EQ(png.Width, 800);
        ASSERT_EQ(rgb.size(), 1600u * 1200 * 3) << frame;
        const Picture video = RgbPicture(1600, 1200, rgb);
        for (int y = 0; y < 1200; ++y)
            for (int x = 0; x < 1600; ++x) {
                const Colour32 want = png.At(x / 2, y / 2);
                const auto [worst, sum] = ColourError(want, video.At(x, y));
                if (frame == 2 && want == 0x00FF00) {
                    ++strokes;
                    worstStroke = std::max(worstStroke, worst);
                }
                if (frame != 46) continue;
                errors += sum;
                if (want != 0 && InsideFacet(png, x / 2, y / 2, FacetMargin)) {
                    ++facets;
                    worstFacet = std::max(worstFacet, worst);
                }
            }
    }
    EXPECT_GT(strokes, 1000);
    EXPECT_LE(worstStroke, 8);
    EXPECT_LT(static_cast<double>(errors) / (1600 * 1200 * 3), 2.0);
    EXPECT_GT(facets, 10000);  // video pixels
    EXPECT_LE(worstFacet, 8);

    // The decoded sound is the WAV file's within AAC's error, and never at full
    // scale, up to the padding of the last AAC frame of 1024 samples.
    const std::vector<std::int16_t> wav = WavSamples(Out("a.wav"));
    const std::vector<std::int16_t> decoded =
        Samples(Shell<Bytes>(decode + "-map 0:a -f s16le -ac 1 -ar 48000 -"), 0);
    ASSERT_GE(decoded.size(), wav.size());
    ASSERT_LE(decoded.size(), wav.size() + 1024);
    double difference = 0, signal = 0;
    int clipped = 0;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        clipped += decoded[i] == -32768 || decoded[i] == 32767;
        if (i >= wav.size()) continue;
        difference += std::pow(decoded[i] - wav[i], 2.0);
        signal += std::pow(double(wav[i]), 2.0);
    }
    EXPECT_EQ(clipped, 0);
    EXPECT_GT(10 * std::log10(signal / difference), SoundToErrorDb);
}

// Waits until a file whose path under `dir` starts with `prefix` has bytes.
bool UnderWay(const fs::path& dir, const std::string& prefix) {
    for (int i = 0; i < 6000; ++i) {
        std::error_code ignored;
        for (auto e = fs::recursive_directory_iterator(dir, ignored); e != fs::recursive_directory_iterator();
             e.increment(ignored))
            if (fs::relative(e->path(), dir).string().rfind(prefix, 0) == 0 && e->is_regular_file(ignored) &&
                e->file_size(ignored) > 0)
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A signal stops the run and removes what it began; the signals share one
// handler, so each is sent once, to a different output. Outputs are put in
// place only once all are complete and every name still takes them: a
// frame's name taken while the show runs fails it before anything is replaced.
TEST_F(CaptureCli, AnInterruptedOrOvertakenRunLeavesEveryOutputAsItWas) {
    fs::create_directories(OutDir / "frames");
    for (const char* name : {"keep.wav", "frames/frame-00000.png"}) std::ofstream(Out(name)) << "old";
    const struct {
        int signal;  // 0: the last frame's name is taken instead
        Args args;
        const char* begun;
        std::string error;
    } runs[] = {{SIGTERM, {"--png-dir", Out("new"), "--wav", Out("keep.wav")}, "new/", ""},
                {SIGINT, {"--video", Out("v.mp4")}, ".capture-", ""},
                {SIGHUP,
                 {"--song-only", "--seconds", "600", "--rate", "200000", "--wav", Out("keep.wav")},
                 ".capture-",
                 ""},
                {0,
                 {"--frame-us", "100000", "--png-dir", Out("frames"), "--wav", Out("keep.wav")},
                 ".capture-",
                 "frame-00510.png is a directory now; nothing was replaced"}};
    for (const auto& run : runs) {
        const pid_t pid = Start(run.args);
        EXPECT_TRUE(UnderWay(OutDir, run.begun)) << run.begun;
        if (run.signal == 0) fs::create_directories(OutDir / "frames/frame-00510.png");
        kill(pid, run.signal);  // signal 0 sends nothing
        const RunResult r = Wait(pid);
        EXPECT_EQ(std::pair(r.Code, r.Signal), std::pair(run.signal == 0 ? 1 : -1, run.signal));
        EXPECT_NE(r.Err.find(run.error), std::string::npos) << r.Err;
        for (const char* name : {"keep.wav", "frames/frame-00000.png"}) EXPECT_EQ(ReadFile(Out(name)), "old");
    }
    EXPECT_EQ(Left(), (Args{"frames", "frames/frame-00000.png", "frames/frame-00510.png", "keep.wav"}));
}

}  // namespace
