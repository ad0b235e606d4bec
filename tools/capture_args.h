#pragma once
// The capture tool's command line. Parsing only: no file is touched here.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "frame_list.h"

// Show: the whole show, pictures and sound, when no other action is named.
enum class CaptureAction { Help, SongOnly, WriteSong, PrintSong, Show };

struct CaptureOptions {
  CaptureAction Action = CaptureAction::Help;
  std::string WavPath;        // --wav
  std::uint32_t Rate = 48000;  // --rate
  std::optional<double> Seconds;  // --seconds; default: one loop of the song
  std::string SongPath;       // --song; empty: the built-in song
  std::string WriteSongPath;  // --write-song
  // The show's options.
  std::string PngDir;                   // --png-dir
  std::optional<FrameList> Frames;      // --frames; default: every frame
  std::string VideoPath;                // --video
  std::int64_t FramePeriod = 10000;     // --frame-us, counter ticks (microseconds) per frame
};

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
