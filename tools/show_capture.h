#pragma once
// The whole show on the virtual platform: the audio thread's first second of
// sound, the render thread's set-up, then per frame the frame's span of
// sound and the frame, up to (not including) the first frame of second 51.
// The random generator is drawn in that order, so every run is the same.
#include <cstdint>
#include <span>

#include "capture_args.h"

// Plays the show with `image` as the song and writes the outputs the options
// name. Returns an exit code; on Ctrl-C (or SIGTERM, SIGHUP) it cleans up
// and ends the process by that signal instead of returning.
int CaptureShow(const CaptureOptions& options, std::span<const std::uint8_t> image);
