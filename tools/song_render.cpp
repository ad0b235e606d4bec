#include "song_render.h"

#include <algorithm>
#include <vector>

#include "raster/random.h"
#include "wav_file.h"

std::string WriteSongWav(Synth& synth, std::uint32_t samples, OutputFile& out) {
  const auto header = WavHeader(synth.SampleRate, samples);
  if (std::string problem = WriteOutput(out, header); !problem.empty()) return problem;

  RandomSeed = 0;
  constexpr std::uint32_t Chunk = 65536;
  std::vector<std::int16_t> buffer(Chunk);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(2 * Chunk);
  for (std::uint32_t done = 0; done < samples;) {
    const std::uint32_t n = std::min(Chunk, samples - done);
    RenderSamples(synth, buffer.data(), static_cast<std::int32_t>(n));
    bytes.clear();
    AppendSamples(bytes, {buffer.data(), n});
    if (std::string problem = WriteOutput(out, bytes); !problem.empty()) return problem;
    done += n;
  }
  return "";
}
