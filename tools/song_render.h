#pragma once
// The sound half of the capture: the song from its start into a WAV file.
#include <cstdint>
#include <string>

#include "output_file.h"
#include "synth/dxvornik.h"

// Renders `samples` samples from a synth just through start-up (the random
// generator is set to 0 first, so the noise voice is its only user) and
// writes the WAV file to `out`. Returns "" or the write error.
std::string WriteSongWav(Synth& synth, std::uint32_t samples, OutputFile& out);
