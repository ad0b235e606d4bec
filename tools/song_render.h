#pragma once
// The sound half of the capture: the song from its start into a WAV file,
// and the checks that tell whose fault a song that cannot be played is.
#include <cstdint>
#include <string>

#include "capture_args.h"
#include "output_file.h"
#include "synth/dxvornik.h"

// "" or the problem, with the exit code it calls for.
struct SongFault {
    int Code = ExitOk;
    std::string Message;
};

// Checks the options' sample rate against a loaded image called `name`. A
// rate the user chose is the command line's fault; the default rate is the
// image's (its tick rate is what does not fit).
SongFault CheckSongRate(const CaptureOptions& options, Synth& synth, const std::string& name);

// The samples --song-only renders: --seconds of them, or one loop of the
// song, which the image chooses and which must fit in a WAV file.
SongFault SongOnlySamples(const CaptureOptions& options, const Synth& synth, const std::string& name,
                          std::uint32_t& samples);

// Renders `samples` samples from a synth just through start-up (the random
// generator is set to 0 first, so the noise voice is its only user) and
// writes the WAV file to `out`. Returns "" or the write error.
std::string WriteSongWav(Synth& synth, std::uint32_t samples, OutputFile& out);
