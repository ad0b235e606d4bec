#pragma once
// The capture tool's command line. Parsing only: no file is touched here.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "frame_list.h"

// A length in seconds exactly as written: whole seconds and the decimal
// digits after the point.
struct DecimalSeconds {
    std::uint64_t Whole = 0;  // UINT64_MAX when the number is larger
    std::string Fraction;
};

// floor(seconds x rate), computed exactly; UINT64_MAX from 2^31 seconds on,
// far more than a WAV file holds.
std::uint64_t SamplesIn(const DecimalSeconds& seconds, std::uint32_t rate);

// Show: the whole show, pictures and sound, when no other action is named.
enum class CaptureAction { Help, SongOnly, WriteSong, PrintSong, Show };

struct CaptureOptions {
    CaptureAction Action = CaptureAction::Help;
    std::string WavPath;         // --wav
    std::uint32_t Rate = 48000;  // --rate
    bool RateGiven = false;
    std::optional<DecimalSeconds> Seconds;  // --seconds; default: one loop of the song
    std::string SongPath;                   // --song; empty: the built-in song
    std::string WriteSongPath;              // --write-song
    // The show's options.
    std::string PngDir;                // --png-dir
    std::optional<FrameList> Frames;   // --frames; default: every frame
    std::string VideoPath;             // --video
    std::int64_t FramePeriod = 10000;  // --frame-us, counter ticks (microseconds) per frame
    std::optional<int> Scale;          // --scale; default: DefaultPngScale, DefaultVideoScale
};

// Every frame pixel becomes a block of scale x scale. A video's 4:2:0 colour
// samples each cover 2 x 2 pixels, so at an even scale each takes the colour
// of one frame pixel; PNG files keep every colour at any scale.
constexpr int DefaultPngScale = 1;
constexpr int DefaultVideoScale = 2;
constexpr int MaxScale = 8;

struct CaptureArgs {
    CaptureOptions Options;
    std::string Error;  // "" when the command line was understood
};

CaptureArgs ParseCaptureArgs(std::span<const std::string_view> args);

std::string CaptureUsage();

// Exit codes.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;   // image refused, or a file could not be read or written
constexpr int ExitBadArgs = 2;  // command line not understood
