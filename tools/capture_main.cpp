// dxvornik85-capture: captures the whole show (frames, sound, video),
// renders the demo's song into a WAV file, writes or prints song images.
// Every output replaced by a file appears complete or not at all.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "capture_args.h"
#include "interrupt.h"
#include "output_file.h"
#include "show_capture.h"
#include "song_render.h"
#include "song_text.h"
#include "synth/dxvornik.h"
#include "synth/song.h"
#include "wav_file.h"

namespace {

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "dxvornik85-capture: %s\n", message.c_str());
    if (code == ExitBadArgs) std::fprintf(stderr, "Try 'dxvornik85-capture --help'.\n");
    return code;
}

// Reads at most one byte more than an image can hold, so that a device or a
// huge file is refused without being read whole.
std::string ReadImageFile(const std::string& path, std::vector<std::uint8_t>& image) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return "cannot open the song image " + path + ": " + std::strerror(errno);
    struct stat st;
    std::string problem;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) problem = "the song image " + path + " is a directory";
    image.resize(MaxSongBytes + 1);
    std::size_t size = 0;
    while (problem.empty() && size < image.size()) {
        const ssize_t n = read(fd, image.data() + size, image.size() - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) problem = "cannot read the song image " + path + ": " + std::strerror(errno);
        if (n <= 0) break;
        size += static_cast<std::size_t>(n);
    }
    close(fd);
    image.resize(size);
    if (problem.empty() && size > MaxSongBytes)
        problem = "the song image " + path + " is longer than " + std::to_string(MaxSongBytes) +
                  " bytes, the most a song image can hold";
    return problem;
}

bool ReadImage(const std::string& path, std::vector<std::uint8_t>& image, std::string& error) {
    if (path.empty()) {
        image.assign(BuiltInSong, BuiltInSong + BuiltInSongSize);
        return true;
    }
    error = ReadImageFile(path, image);
    return error.empty();
}

std::string SongName(const CaptureOptions& options) {
    return options.SongPath.empty() ? "the built-in song" : options.SongPath;
}

// Writes one output; a failure or a signal leaves what the name stood for
// as it was (a device or FIFO keeps what it was sent).
int WriteFile(const std::string& path, const auto& writeContent) {
    InstallInterruptHandlers();
    OutputFile out;
    std::string problem = OpenOutput(out, path);
    if (problem.empty()) problem = writeContent(out);
    if (problem.empty() && InterruptSignal() != 0) problem = "interrupted";
    if (problem.empty()) problem = CommitOutput(out);
    if (problem.empty()) return ExitOk;
    DiscardOutput(out);
    if (InterruptSignal() != 0) EndByInterruptSignal();
    return Fail(ExitFailed, problem);
}

int LoadSong(const CaptureOptions& options, Synth& synth) {
    std::string error;
    if (!ReadImage(options.SongPath, synth.SongBytes, error)) return Fail(ExitFailed, error);
    if (std::string problem = LoadSongLayout(synth); !problem.empty())
        return Fail(ExitFailed, SongName(options) + " cannot be played: " + problem);
    return ExitOk;
}

int RenderSongOnly(const CaptureOptions& options) {
    Synth synth;
    if (int code = LoadSong(options, synth); code != ExitOk) return code;
    if (SongFault fault = CheckSongRate(options, synth, SongName(options)); fault.Code != ExitOk)
        return Fail(fault.Code, fault.Message);
    if (options.Rate > 0x7FFFFFFF)
        return Fail(ExitBadArgs, "--rate: a WAV file holds rates up to 2147483647 Hz");
    std::uint32_t samples = 0;
    if (SongFault fault = SongOnlySamples(options, synth, SongName(options), samples); fault.Code != ExitOk)
        return Fail(fault.Code, fault.Message);
    BuildNoteTables(synth);
    InitChannels(synth);
    return WriteFile(options.WavPath, [&](OutputFile& out) { return WriteSongWav(synth, samples, out); });
}

int WriteBuiltInSong(const CaptureOptions& options) {
    return WriteFile(options.WriteSongPath, [](OutputFile& out) {
        return WriteOutput(out, {BuiltInSong, BuiltInSongSize});
    });
}

int RunShow(const CaptureOptions& options) {
    std::vector<std::uint8_t> image;
    std::string error;
    if (!ReadImage(options.SongPath, image, error)) return Fail(ExitFailed, error);
    return CaptureShow(options, image);
}

// A full disk or a closed pipe on standard output is a failure too.
int PrintText(const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0 && !std::ferror(stdout)) return ExitOk;
    return Fail(ExitFailed, std::string("cannot write to standard output: ") + std::strerror(errno));
}

int PrintSong(const CaptureOptions& options) {
    Synth synth;
    if (int code = LoadSong(options, synth); code != ExitOk) return code;
    return PrintText(DescribeSong(synth));
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const CaptureArgs parsed = ParseCaptureArgs(args);
    if (!parsed.Error.empty()) return Fail(ExitBadArgs, parsed.Error);
    const CaptureOptions& options = parsed.Options;
    switch (options.Action) {
        case CaptureAction::Help:
            return PrintText(CaptureUsage());
        case CaptureAction::SongOnly:
            return RenderSongOnly(options);
        case CaptureAction::WriteSong:
            return WriteBuiltInSong(options);
        case CaptureAction::PrintSong:
            return PrintSong(options);
        case CaptureAction::Show:
            return RunShow(options);
    }
    return ExitFailed;
}
