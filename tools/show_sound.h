#pragma once
// The show's sound as the audio thread makes it: a one-second ring filled
// completely before the pictures start, then refilled behind the play
// position as time passes, so the synthesizer always runs one second ahead
// of what is heard. What the capture records is what is heard.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "synth/dxvornik.h"
#include "synth/stream.h"

struct ShowSound {
    Synth Synthesizer;
    SoundRing Ring;
    std::vector<std::int16_t> Buffer;  // the ring's memory: one second of samples
};

// Start-up and the first fill (one second), which draws from the random
// generator as the audio thread does before the render thread starts.
// Returns "" or why the image or rate cannot be played.
[[nodiscard]] std::string StartShowSound(ShowSound& sound, std::span<const std::uint8_t> image,
                                         std::uint32_t rate);

// Plays `samples` samples: appends them to `heard` (the oldest in the ring)
// and synthesizes as many new ones into their place, which are also
// appended to `fresh` when it is given. More than a second at once is
// played in steps of at most a second, so nothing is skipped.
void PlayShowSound(ShowSound& sound, std::int64_t samples, std::vector<std::int16_t>& heard,
                   std::vector<std::int16_t>* fresh = nullptr);
