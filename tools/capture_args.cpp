#include "capture_args.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "show_span.h"

namespace {

bool ParseRate(std::string_view text, std::uint32_t& rate) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, rate);
    return ec == std::errc() && ptr == end && rate > 0;
}

bool ParseFramePeriod(std::string_view text, std::int64_t& period) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, period);
    return ec == std::errc() && ptr == end && period >= MinFramePeriod && period <= MaxFramePeriod;
}

bool ParseScale(std::string_view text, int& scale) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, scale);
    return ec == std::errc() && ptr == end && scale >= 1 && scale <= MaxScale;
}

bool ParseSeconds(std::string_view text, DecimalSeconds& seconds) {
    // Plain decimal numbers only: no sign, no exponent, no inf or nan.
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if ((whole.empty() && fraction.empty()) || !digits(whole) || !digits(fraction)) return false;
    seconds.Fraction = fraction;
    if (whole.empty()) return true;
    const auto [ptr, ec] = std::from_chars(whole.data(), whole.data() + whole.size(), seconds.Whole);
    if (ec == std::errc::result_out_of_range) seconds.Whole = UINT64_MAX;
    return true;
}

struct Parser {
    std::span<const std::string_view> Args;
    std::size_t Next = 0;
    CaptureOptions Options;
    bool SongOnly = false, PrintSong = false, HaveRate = false, HaveWav = false, HaveSong = false,
         HaveWrite = false, HavePng = false, HaveVideo = false, HavePeriod = false;

    std::string TakeValue(std::string_view option, std::string& value) {
        if (Next >= Args.size()) return std::string(option) + " needs a value";
        value = Args[Next++];
        if (value.empty()) return std::string(option) + " needs a non-empty value";
        return "";
    }

    std::string Once(bool& seen, std::string_view option) {
        if (seen) return std::string(option) + " is given twice";
        seen = true;
        return "";
    }

    // Options that name a file or directory: each may be given once.
    std::string PathOption(std::string_view option, bool& found) {
        // clang-format off
    const struct { std::string_view Name; bool& Seen; std::string& Path; } paths[] = {
        {"--wav", HaveWav, Options.WavPath},          {"--song", HaveSong, Options.SongPath},
        {"--write-song", HaveWrite, Options.WriteSongPath}, {"--png-dir", HavePng, Options.PngDir},
        {"--video", HaveVideo, Options.VideoPath},
    };
        // clang-format on
        for (const auto& path : paths) {
            if (option != path.Name) continue;
            found = true;
            if (std::string problem = Once(path.Seen, option); !problem.empty()) return problem;
            return TakeValue(option, path.Path);
        }
        return "";
    }

    std::string Option(std::string_view option) {
        std::string value, problem;
        bool isPath = false;
        if (problem = PathOption(option, isPath); isPath) return problem;
        if (option == "--song-only") return Once(SongOnly, option);
        if (option == "--print-song") return Once(PrintSong, option);
        if (option == "--rate") {
            if (!(problem = Once(HaveRate, option)).empty()) return problem;
            if (!(problem = TakeValue(option, value)).empty()) return problem;
            if (!ParseRate(value, Options.Rate))
                return "--rate needs a whole number of hertz from 1 to 4294967295, not \"" + value + "\"";
            return "";
        }
        if (option == "--seconds") {
            if (Options.Seconds) return "--seconds is given twice";
            if (!(problem = TakeValue(option, value)).empty()) return problem;
            DecimalSeconds seconds;
            if (!ParseSeconds(value, seconds))
                return "--seconds needs a number of seconds such as 2 or 0.5, not \"" + value + "\"";
            Options.Seconds = seconds;
            return "";
        }
        if (option == "--frames") {
            if (Options.Frames) return "--frames is given twice";
            if (!(problem = TakeValue(option, value)).empty()) return problem;
            FrameListParse list = ParseFrameList(value);
            if (!list.Error.empty()) return list.Error;
            Options.Frames = std::move(list.List);
            return "";
        }
        if (option == "--frame-us") {
            if (!(problem = Once(HavePeriod, option)).empty()) return problem;
            if (!(problem = TakeValue(option, value)).empty()) return problem;
            if (!ParseFramePeriod(value, Options.FramePeriod))
                return "--frame-us needs a whole number of microseconds from " +
                       std::to_string(MinFramePeriod) + " to " + std::to_string(MaxFramePeriod) + ", not \"" +
                       value + "\"";
            return "";
        }
        if (option == "--scale") {
            if (Options.Scale) return "--scale is given twice";
            if (!(problem = TakeValue(option, value)).empty()) return problem;
            int scale = 0;
            if (!ParseScale(value, scale))
                return "--scale needs a whole number from 1 to " + std::to_string(MaxScale) + ", not \"" +
                       value + "\"";
            Options.Scale = scale;
            return "";
        }
        return "unknown option \"" + std::string(option) + "\"";
    }

    std::string ChooseShow() {
        Options.Action = CaptureAction::Show;
        if (Options.Seconds) return "--seconds belongs to --song-only; the show's length is fixed";
        if (Options.Frames && !HavePng) return "--frames chooses PNG frames and needs --png-dir DIR";
        if (Options.Scale && !HavePng && !HaveVideo)
            return "--scale enlarges the frames of --png-dir or --video";
        return "";
    }

    std::string ChooseAction() {
        const int actions = SongOnly + PrintSong + HaveWrite;
        if (actions == 0) return ChooseShow();
        if (actions > 1) return "--song-only, --write-song and --print-song cannot be combined";
        if (Options.Scale) return "--scale enlarges the frames of --png-dir or --video";
        if (HavePng || HaveVideo || HavePeriod || Options.Frames)
            return "--png-dir, --video, --frames and --frame-us belong to the show, not to --song-only, "
                   "--write-song or --print-song";
        if (HaveWav && !SongOnly) return "--wav goes with --song-only or with the show";
        if (HaveWrite) {
            if (HaveSong) return "--write-song writes the built-in song; --song cannot be used with it";
            Options.Action = CaptureAction::WriteSong;
        } else if (PrintSong) {
            Options.Action = CaptureAction::PrintSong;
        } else {
            if (!HaveWav) return "--song-only needs --wav FILE";
            Options.Action = CaptureAction::SongOnly;
        }
        if (Options.Action != CaptureAction::SongOnly && HaveRate)
            return "--rate goes with --song-only or with the show";
        if (Options.Action != CaptureAction::SongOnly && Options.Seconds)
            return "--seconds belongs to --song-only";
        return "";
    }
};

}  // namespace

CaptureArgs ParseCaptureArgs(std::span<const std::string_view> args) {
    for (std::string_view arg : args)
        if (arg == "--help" || arg == "-h") return {CaptureOptions{}, ""};
    Parser parser;
    parser.Args = args;
    while (parser.Next < args.size()) {
        const std::string_view option = args[parser.Next++];
        if (std::string problem = parser.Option(option); !problem.empty()) return {{}, problem};
    }
    if (std::string problem = parser.ChooseAction(); !problem.empty()) return {{}, problem};
    parser.Options.RateGiven = parser.HaveRate;
    return {parser.Options, ""};
}

std::uint64_t SamplesIn(const DecimalSeconds& seconds, std::uint32_t rate) {
    if (seconds.Whole >= (std::uint64_t{1} << 31)) return UINT64_MAX;
    // floor(0.d1 d2 ... dn x rate) from the last digit to the first: each step
    // divides by ten and drops the remainder, which floors the exact sum.
    std::uint64_t part = 0;
    for (auto digit = seconds.Fraction.rbegin(); digit != seconds.Fraction.rend(); ++digit)
        part = (static_cast<std::uint64_t>(*digit - '0') * rate + part) / 10;
    return seconds.Whole * rate + part;
}

std::string CaptureUsage() {
    return "usage: dxvornik85-capture [--png-dir DIR [--frames LIST]] [--wav FILE] [--video FILE]\n"
           "                          [--scale N] [--frame-us P] [--rate HZ] [--song IMAGE]\n"
           "       dxvornik85-capture --song-only --wav FILE [--rate HZ] [--seconds S] [--song IMAGE]\n"
           "       dxvornik85-capture --write-song FILE\n"
           "       dxvornik85-capture --print-song [--song IMAGE]\n"
           "       dxvornik85-capture --help\n"
           "\n"
           "Without --song-only, --write-song or --print-song the whole show is played on a\n"
           "virtual clock, frame by frame, up to the frame that would ask to close the\n"
           "window (second 51), the same way on every run. Without an output it is only\n"
           "played (for timing).\n"
           "  --png-dir DIR    write frames as DIR/frame-NNNNN.png (RGB, see --scale)\n"
           "  --frames LIST    only these frames, e.g. 0,150,300-310 (default: all)\n"
           "  --wav FILE       write the sound of the captured frames as a mono 16-bit WAV\n"
           "  --video FILE     make an MP4 video (H.264 High, AAC) with ffmpeg\n"
           "  --scale N        draw every frame pixel as an N x N block, N from 1 to 8\n"
           "                   (default: 1 for PNG, 800 x 600; 2 for the video,\n"
           "                   1600 x 1200, where each colour sample is one pixel's)\n"
           "  --frame-us P     microseconds from one frame to the next (default 10000,\n"
           "                   from 1000 to 10000000)\n"
           "\n"
           "  --song-only      render the song alone, from its start\n"
           "  --wav FILE       write it as a mono 16-bit PCM WAV file\n"
           "  --rate HZ        sample rate (default 48000)\n"
           "  --seconds S      length; S x HZ samples, rounded down (default: one loop\n"
           "                   of the song, until its order list is back at row 0)\n"
           "  --song IMAGE     play or print this song image instead of the built-in one\n"
           "                   (a file of at most 65536 bytes)\n"
           "  --write-song FILE  write the built-in song image\n"
           "  --print-song     print the song image as text\n"
           "\n"
           "Outputs: a new name or an existing regular file is written under a short\n"
           "temporary name in the same directory, and renamed over the name only once\n"
           "every output of the run is complete; an existing file keeps its permission\n"
           "bits. A symbolic link is followed: the file it leads to is written that way\n"
           "and the link stays. A device or FIFO (such as /dev/null) is written in place\n"
           "as the output is made, never replaced or removed; --video needs a regular\n"
           "file, and a frame's name held by anything but a regular file stops the run.\n"
           "\n"
           "Exit codes: 0 done; 1 the song file or image was refused, a file could not\n"
           "be read or written, or ffmpeg failed or is missing; 2 the command line was\n"
           "not understood. On exit 1 every output is as it was (a device or FIFO may\n"
           "have been sent part of its output); should a rename fail after others were\n"
           "done, the message says which outputs were replaced and which were not.\n"
           "Ctrl-C, SIGTERM or SIGHUP removes every temporary file, leaves every output\n"
           "as it was, and ends the program by that signal.\n";
}
