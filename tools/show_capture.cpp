#include "show_capture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "demo/render_platform.h"
#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "interrupt.h"
#include "output_file.h"
#include "png_frames.h"
#include "progress.h"
#include "base/random.h"
#include "scaled_frame.h"
#include "show_sound.h"
#include "show_span.h"
#include "song_render.h"
#include "video_pipe.h"
#include "wav_file.h"

namespace {

// Fast enough to keep up with the show on a second core; the frames are
// mostly flat colour, which compresses well even at this level.
constexpr int PngLevel = 1;

struct ShowRun {
    explicit ShowRun(const CaptureOptions& options) : Options(options) {}
    const CaptureOptions& Options;
    std::int64_t FrameCount = 0;    // frames of the whole show
    std::int64_t FramesNeeded = 0;  // frames to play: fewer when only some PNGs are wanted
    bool Wav = false, Png = false, Video = false;
    int PngScale = DefaultPngScale, VideoScale = DefaultVideoScale;
    OutputFile WavFile;
    PngFrames Frames;
    VideoPipe Movie;
    ShowSound Sound;
    Show Picture;
    std::vector<std::int16_t> Heard;
    std::vector<std::int16_t> Fresh;
    std::int64_t VideoSoundLeft = 0;  // samples the video still takes
    std::vector<std::uint8_t> WavBytes;
    std::vector<Colour32> PngPixels;       // the frame enlarged for its PNG file
    std::vector<std::uint8_t> VideoFrame;  // the frame enlarged, as yuv420p
};

int Complain(int code, const std::string& message) {
    std::fprintf(stderr, "dxvornik85-capture: %s\n", message.c_str());
    if (code == ExitBadArgs) std::fprintf(stderr, "Try 'dxvornik85-capture --help'.\n");
    return code;
}

// Frames replace only regular files: anything else under a frame's name
// stops the run before anything is made.
std::string CheckFrameNames(const ShowRun& run) {
    struct stat dir;
    // A directory still to be made holds nothing; a file in the way is refused later.
    if (stat(run.Options.PngDir.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode)) return "";
    const auto check = [&](std::int64_t frame) {
        return CheckReplaceable(run.Options.PngDir + "/" + PngFrameName(frame));
    };
    if (!run.Options.Frames) {
        for (std::int64_t frame = 0; frame < run.FrameCount; ++frame)
            if (std::string problem = check(frame); !problem.empty()) return problem;
        return "";
    }
    for (const FrameRange& range : run.Options.Frames->Ranges)
        for (std::int64_t frame = range.First; frame <= range.Last; ++frame)
            if (std::string problem = check(frame); !problem.empty()) return problem;
    return "";
}

// An MP4 file is written with seeks, so only into a file of its own.
std::string CheckVideoTarget(const std::string& path) {
    const OutputKind kind = ClassifyOutput(path);
    if (!kind.Error.empty()) return kind.Error;
    if (!kind.Regular)
        return "--video: " + path + " is " + kind.Describe + "; the video needs a regular file";
    return "";
}

// What can be told from the options alone, before anything is made.
int CheckRun(ShowRun& run, std::span<const std::uint8_t> image) {
    const CaptureOptions& o = run.Options;
    Synth probe;
    probe.SongBytes.assign(image.begin(), image.end());
    const std::string name = o.SongPath.empty() ? "the built-in song" : o.SongPath;
    if (std::string problem = LoadSongLayout(probe); !problem.empty())
        return Complain(ExitFailed, name + " cannot be played: " + problem);
    if (SongFault fault = CheckSongRate(o, probe, name); fault.Code != ExitOk)
        return Complain(fault.Code, fault.Message);
    if (o.Rate > 0x7FFFFFFF) return Complain(ExitBadArgs, "--rate: at most 2147483647 Hz");

    run.FrameCount = ShowFrameCount(o.FramePeriod);
    if (o.Frames && FrameListLast(*o.Frames) >= run.FrameCount)
        return Complain(ExitBadArgs, "--frames: the show has frames 0 to " +
                                         std::to_string(run.FrameCount - 1) + " at --frame-us " +
                                         std::to_string(o.FramePeriod) + ", not " +
                                         std::to_string(FrameListLast(*o.Frames)));
    if (static_cast<std::uint64_t>(SamplesBeforeFrame(run.FrameCount, o.FramePeriod, o.Rate)) > MaxWavSamples)
        return Complain(ExitBadArgs, "--rate: the sound would be too long for a WAV file");

    run.Wav = !o.WavPath.empty();
    run.Png = !o.PngDir.empty();
    run.Video = !o.VideoPath.empty();
    run.PngScale = o.Scale.value_or(DefaultPngScale);
    run.VideoScale = o.Scale.value_or(DefaultVideoScale);
    const bool onlySomePngs = run.Png && o.Frames && !run.Wav && !run.Video;
    run.FramesNeeded = onlySomePngs ? FrameListLast(*o.Frames) + 1 : run.FrameCount;
    run.VideoSoundLeft = run.Video ? SamplesBeforeFrame(run.FrameCount, o.FramePeriod, o.Rate) : 0;
    std::string problem = run.Video ? CheckVideoTarget(o.VideoPath) : "";
    if (problem.empty() && run.Png) problem = CheckFrameNames(run);
    return problem.empty() ? ExitOk : Complain(ExitFailed, problem);
}

std::string OpenOutputs(ShowRun& run) {
    const CaptureOptions& o = run.Options;
    std::string problem;
    if (run.Video) {
        const int scale = run.VideoScale;
        const VideoFormat format{ScreenWidth * scale, ScreenHeight * scale, o.FramePeriod, o.Rate};
        if (!(problem = StartVideo(run.Movie, o.VideoPath, format)).empty()) return problem;
    }
    if (run.Wav) {
        if (!(problem = OpenOutput(run.WavFile, o.WavPath)).empty()) return problem;
        fcntl(run.WavFile.Descriptor, F_SETFD, FD_CLOEXEC);
        const auto samples = SamplesBeforeFrame(run.FrameCount, o.FramePeriod, o.Rate);
        const auto header = WavHeader(o.Rate, static_cast<std::uint32_t>(samples));
        if (!(problem = WriteOutput(run.WavFile, header)).empty()) return problem;
    }
    if (run.Png) {
        const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        problem = StartPngFrames(run.Frames, o.PngDir, ScreenWidth * run.PngScale,
                                 ScreenHeight * run.PngScale, threads, threads + 2, PngLevel);
    }
    return problem;
}

// The video gets the sound as soon as it is synthesized, a second ahead of
// the frames, so that ffmpeg never waits for sound while the frames' pipe is
// full. It gets exactly the samples the frames span, as the WAV file does.
void SendVideoSound(ShowRun& run, std::span<const std::int16_t> samples) {
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::int64_t>(run.VideoSoundLeft, static_cast<std::int64_t>(samples.size())));
    QueueVideoSound(run.Movie, samples.first(count));
    run.VideoSoundLeft -= static_cast<std::int64_t>(count);
}

// The program's own order of draws from the shared generator: the audio
// thread's first fill, then the render thread's set-up.
std::string StartRun(ShowRun& run, std::span<const std::uint8_t> image) {
    RandomSeed.store(0);
    ResetVirtualPlatform();
    VirtualPlatform.framePeriod = run.Options.FramePeriod;
    if (std::string problem = StartShowSound(run.Sound, image, run.Options.Rate); !problem.empty())
        return problem;
    StartShow(run.Picture, RandomSeed);
    if (run.Video) SendVideoSound(run, run.Sound.Buffer);
    return "";
}

// The sound heard while frame `frame` is on its way.
std::string PlayFrameSound(ShowRun& run, std::int64_t frame) {
    const CaptureOptions& o = run.Options;
    const std::int64_t samples = SamplesBeforeFrame(frame + 1, o.FramePeriod, o.Rate) -
                                 SamplesBeforeFrame(frame, o.FramePeriod, o.Rate);
    run.Heard.clear();
    run.Fresh.clear();
    PlayShowSound(run.Sound, samples, run.Heard, run.Video ? &run.Fresh : nullptr);
    if (run.Video) SendVideoSound(run, run.Fresh);
    if (!run.Wav) return "";
    run.WavBytes.clear();
    AppendSamples(run.WavBytes, run.Heard);
    return WriteOutput(run.WavFile, run.WavBytes);
}

std::string DrawFrame(ShowRun& run, std::int64_t frame) {
    PlatformSleep10ms();
    RenderFrame(run.Picture);
    PlatformPresentFrame();
    const Colour32* pixels = VirtualFrame();
    if (run.Png && (!run.Options.Frames || FrameListContains(*run.Options.Frames, frame))) {
        const Colour32* png = pixels;
        if (run.PngScale != 1) {
            ScaleFrame(pixels, ScreenWidth, ScreenHeight, run.PngScale, run.PngPixels);
            png = run.PngPixels.data();
        }
        if (std::string problem = QueuePngFrame(run.Frames, frame, png); !problem.empty()) return problem;
    }
    if (!run.Video) return "";
    FrameToYuv420(pixels, ScreenWidth, ScreenHeight, run.VideoScale, run.VideoFrame);
    return WriteVideoFrame(run.Movie, run.VideoFrame);
}

std::string PlayShow(ShowRun& run) {
    Progress progress = StartProgress(run.FramesNeeded);
    std::string problem;
    std::int64_t frame = 0;
    for (; frame < run.FramesNeeded && SceneIndexFor(run.Picture.DemoClock) < EndSceneIndex; ++frame) {
        if (InterruptSignal() != 0) problem = "interrupted";
        if (problem.empty()) problem = PlayFrameSound(run, frame);
        if (problem.empty()) problem = DrawFrame(run, frame);
        if (!problem.empty()) break;
        ShowProgress(progress, frame + 1);
    }
    EndProgress(progress);
    if (problem.empty() && frame != run.FramesNeeded)
        problem = "the show ended after " + std::to_string(frame) + " frames instead of " +
                  std::to_string(run.FramesNeeded);
    return problem;
}

// Every name a rename will take must still hold a regular file or nothing.
std::string CheckCommit(const ShowRun& run) {
    std::string problem;
    if (run.Wav && !run.WavFile.InPlace) problem = CheckReplaceable(run.WavFile.Target);
    if (run.Video && problem.empty()) problem = CheckReplaceable(run.Movie.Output.Target);
    for (std::size_t i = 0; run.Png && problem.empty() && i < run.Frames.Names.size(); ++i)
        problem = CheckReplaceable(run.Frames.Dir + "/" + run.Frames.Names[i]);
    return problem.empty() ? "" : problem + " now; nothing was replaced";
}

std::string Listed(const std::vector<std::string>& names, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < names.size(); ++i) text += (text.empty() ? "" : ", ") + names[i];
    return text.empty() ? "nothing" : text;
}

// Puts the outputs in place one after the other; if one cannot be, says
// which were replaced and which were not.
std::string CommitOutputs(ShowRun& run) {
    std::vector<std::string> names, done;
    if (run.Wav) names.push_back(run.Options.WavPath);
    if (run.Video) names.push_back(run.Options.VideoPath);
    const std::size_t frames = run.Frames.Names.size();
    if (run.Png) names.push_back(std::to_string(frames) + " frames in " + run.Options.PngDir);
    std::string problem;
    if (run.Wav && (problem = CommitOutput(run.WavFile)).empty()) done.push_back(names[done.size()]);
    if (run.Video && problem.empty() && (problem = CommitVideo(run.Movie)).empty())
        done.push_back(names[done.size()]);
    if (run.Png && problem.empty()) {
        problem = CommitPngFrames(run.Frames);
        const std::size_t moved = frames - run.Frames.Names.size();
        if (problem.empty())
            done.push_back(names[done.size()]);
        else if (moved > 0) {
            names.back() = std::to_string(frames - moved) + " frames in " + run.Options.PngDir;
            names.insert(names.end() - 1, std::to_string(moved) + " frames in " + run.Options.PngDir);
            done.push_back(names[done.size()]);
        }
    }
    if (problem.empty()) return "";
    return problem + "; replaced: " + Listed(done, 0) + "; not replaced: " + Listed(names, done.size());
}

// Everything must have been made before anything is renamed into place.
std::string FinishOutputs(ShowRun& run) {
    std::string problem;
    if (run.Video && problem.empty()) problem = FinishVideo(run.Movie);
    if (run.Png && problem.empty()) problem = FinishPngFrames(run.Frames);
    if (run.Wav && problem.empty()) problem = CloseOutput(run.WavFile);
    if (InterruptSignal() != 0) problem = "interrupted";
    if (problem.empty()) problem = CheckCommit(run);
    return problem.empty() ? CommitOutputs(run) : problem;
}

void DiscardOutputs(ShowRun& run) {
    if (run.Video) DiscardVideo(run.Movie);
    if (run.Png) DiscardPngFrames(run.Frames);
    if (run.Wav) DiscardOutput(run.WavFile);
}

}  // namespace

int CaptureShow(const CaptureOptions& options, std::span<const std::uint8_t> image) {
    auto run = std::make_unique<ShowRun>(options);  // large: not on the stack
    if (int code = CheckRun(*run, image); code != ExitOk) return code;
    InstallInterruptHandlers();
    std::string problem = OpenOutputs(*run);
    if (problem.empty()) problem = StartRun(*run, image);
    if (problem.empty()) problem = PlayShow(*run);
    if (problem.empty()) problem = FinishOutputs(*run);
    if (problem.empty()) return ExitOk;
    DiscardOutputs(*run);
    if (InterruptSignal() != 0) EndByInterruptSignal();
    return Complain(ExitFailed, problem);
}
