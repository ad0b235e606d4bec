#include "video_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <sstream>

#include "interrupt.h"
#include "wav_file.h"

extern char** environ;

namespace {

std::string Failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Rates the AAC encoder takes as they are; others are resampled to 48 kHz.
bool AacRate(std::uint32_t rate) {
    for (std::uint32_t r : {96000u, 88200u, 64000u, 48000u, 44100u, 32000u, 24000u, 22050u, 16000u, 12000u,
                            11025u, 8000u, 7350u})
        if (rate == r) return true;
    return false;
}

// Writes everything, retrying partial writes; gives up on an interruption
// only when `interruptible` (the main thread, which must notice Ctrl-C).
std::string WriteAll(int fd, const std::uint8_t* data, std::size_t size, bool interruptible) {
    while (size > 0) {
        // Checked before every write: a signal that cut a write short shows up
        // as a partial count, not as EINTR, and the next write could block for good.
        if (interruptible && InterruptSignal() != 0) return "interrupted";
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EPIPE) return "ffmpeg stopped reading its input";
        if (n < 0) return Failure("cannot write to ffmpeg");
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return "";
}

void WriteSound(VideoPipe& video) {
    std::vector<std::uint8_t> bytes;
    std::unique_lock<std::mutex> hold(video.Lock);
    for (;;) {
        video.Changed.wait(hold, [&] { return !video.SoundWaiting.empty() || video.SoundClosed; });
        if (video.SoundWaiting.empty()) return;  // closed and everything written
        bytes.clear();
        bytes.swap(video.SoundWaiting);
        if (!video.SoundError.empty()) continue;  // ffmpeg is gone: drop the rest
        hold.unlock();
        const std::string problem = WriteAll(video.SoundFd, bytes.data(), bytes.size(), false);
        hold.lock();
        if (!problem.empty()) video.SoundError = problem;
    }
}

// A pipe whose ends are above the standard descriptors and 3, so that
// moving the read end into place in ffmpeg cannot overwrite another.
std::string MakePipe(int& readEnd, int& writeEnd) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return Failure("cannot make a pipe to ffmpeg");
    readEnd = fcntl(ends[0], F_DUPFD_CLOEXEC, 10);
    writeEnd = ends[1];
    close(ends[0]);
    if (readEnd < 0) return Failure("cannot make a pipe to ffmpeg");
    return "";
}

std::string Spawn(VideoPipe& video, const std::vector<std::string>& arguments, int frameRead, int soundRead) {
    std::vector<char*> argv;
    std::string program = "ffmpeg";
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, frameRead, 0);
    posix_spawn_file_actions_adddup2(&actions, soundRead, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that Ctrl-C reaches only the capture, which
    // then stops ffmpeg itself; default handling of the signals we catch or ignore.
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&defaults, signal);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const int result = posix_spawnp(&video.Pid, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        video.Pid = -1;
        return std::string("cannot start ffmpeg: ") + std::strerror(result);
    }
    return "";
}

std::string WaitForFfmpeg(VideoPipe& video, bool interruptible) {
    int status = 0;
    while (waitpid(video.Pid, &status, 0) < 0) {
        if (errno != EINTR) return Failure("cannot wait for ffmpeg");
        if (interruptible && InterruptSignal() != 0) return "interrupted";
    }
    video.Pid = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
    if (WIFEXITED(status)) return "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status));
    return "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
}

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

std::vector<std::string> FfmpegArguments(const VideoFormat& format, const std::string& path) {
    const std::int64_t divisor = std::gcd(std::int64_t{1'000'000}, format.FramePeriod);
    const std::string frameRate =
        std::to_string(1'000'000 / divisor) + "/" + std::to_string(format.FramePeriod / divisor);
    std::vector<std::string> a = {"-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                  // The frames come converted (see scaled_frame.h): ffmpeg only encodes them.
                                  "-f", "rawvideo", "-pixel_format", "yuv420p", "-video_size",
                                  std::to_string(format.Width) + "x" + std::to_string(format.Height),
                                  "-framerate", frameRate, "-i", "pipe:0",
                                  // ffmpeg opens its inputs one after the other and, by default, reads
                                  // seconds of each while opening it; the frames' pipe would fill up
                                  // meanwhile. The sound's format is given, so there is nothing to probe.
                                  "-probesize", "32", "-analyzeduration", "0", "-f", "s16le", "-sample_rate",
                                  std::to_string(format.SampleRate), "-channels", "1", "-i", "pipe:3", "-map",
                                  "0:v:0", "-map", "1:a:0", "-c:v", "libx264", "-profile:v", "high",
                                  "-preset", VideoPreset, "-crf", std::to_string(VideoQuality),
                                  // The samples are BT.709 in limited range; players are told so.
                                  "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
                                  "-color_range", "tv", "-c:a", "aac", "-b:a", VideoSoundBitRate};
    if (!AacRate(format.SampleRate)) a.insert(a.end(), {"-ar", "48000"});
    // No dates, versions or other run-dependent bytes: equal input, equal file.
    a.insert(a.end(), {"-map_metadata", "-1", "-fflags", "+bitexact", "-flags:v", "+bitexact", "-flags:a",
                       "+bitexact", "-movflags", "+faststart", "-f", "mp4", path});
    return a;
}

std::string StartVideo(VideoPipe& video, const std::string& path, const VideoFormat& format) {
    if (FindOnPath("ffmpeg").empty())
        return "--video needs ffmpeg, which is not on PATH (Debian package ffmpeg)";
    if (std::string problem = OpenOutput(video.Output, path); !problem.empty()) return problem;
    fcntl(video.Output.Descriptor, F_SETFD, FD_CLOEXEC);
    int frameRead = -1, soundRead = -1;
    std::string problem = MakePipe(frameRead, video.FrameFd);
    // A frame is 2.9 MB at scale 2: with the default 64 KiB pipe each one is
    // handed over in 44 wake-ups of ffmpeg. The largest pipe an ordinary user
    // may make takes a third of it per wake-up; a refusal only costs speed.
    if (problem.empty()) fcntl(video.FrameFd, F_SETPIPE_SZ, 1 << 20);
    if (problem.empty()) problem = MakePipe(soundRead, video.SoundFd);
    if (problem.empty())
        problem = Spawn(video, FfmpegArguments(format, video.Output.TempPath), frameRead, soundRead);
    CloseFd(frameRead);
    CloseFd(soundRead);
    if (!problem.empty()) return problem;
    const ScopedSignalBlock block;  // the sound writer inherits it
    video.SoundWriter = std::thread(WriteSound, std::ref(video));
    return "";
}

std::string WriteVideoFrame(VideoPipe& video, std::span<const std::uint8_t> samples) {
    const std::string problem = WriteAll(video.FrameFd, samples.data(), samples.size(), true);
    return problem.empty() || problem == "interrupted" ? problem : problem + " (see its messages above)";
}

void QueueVideoSound(VideoPipe& video, std::span<const std::int16_t> samples) {
    std::lock_guard<std::mutex> hold(video.Lock);
    AppendSamples(video.SoundWaiting, samples);
    video.Changed.notify_all();
}

std::string FinishVideo(VideoPipe& video) {
    CloseFd(video.FrameFd);
    {
        std::lock_guard<std::mutex> hold(video.Lock);
        video.SoundClosed = true;
    }
    video.Changed.notify_all();
    if (video.SoundWriter.joinable()) video.SoundWriter.join();
    CloseFd(video.SoundFd);
    const std::string problem = WaitForFfmpeg(video, true);
    if (!problem.empty()) return problem;
    return video.SoundError;
}

std::string CommitVideo(VideoPipe& video) {
    return CommitOutput(video.Output);
}

void DiscardVideo(VideoPipe& video) {
    CloseFd(video.FrameFd);
    {
        std::lock_guard<std::mutex> hold(video.Lock);
        video.SoundClosed = true;
        video.SoundWaiting.clear();
    }
    video.Changed.notify_all();
    if (video.Pid > 0) kill(video.Pid, SIGTERM);
    if (video.SoundWriter.joinable()) video.SoundWriter.join();
    CloseFd(video.SoundFd);
    if (video.Pid > 0) WaitForFfmpeg(video, false);
    DiscardOutput(video.Output);
}
