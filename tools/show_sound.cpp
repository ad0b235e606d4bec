#include "show_sound.h"

#include <algorithm>

std::string StartShowSound(ShowSound& sound, std::span<const std::uint8_t> image, std::uint32_t rate) {
    if (std::string problem = StartSynth(sound.Synthesizer, image, rate); !problem.empty()) return problem;
    sound.Buffer.assign(rate, 0);
    sound.Ring.BufferBytes = BytesPerFrame * rate;
    FirstFill(sound.Synthesizer, sound.Ring, sound.Buffer.data(), sound.Ring.BufferBytes);
    return "";
}

namespace {

// One step of at most the whole ring: the samples from WritePos on, across
// the ring's end if need be, are heard and then rendered anew.
void PlayStep(ShowSound& sound, std::uint32_t samples, std::vector<std::int16_t>& heard,
              std::vector<std::int16_t>* fresh) {
    const std::uint32_t ringSamples = static_cast<std::uint32_t>(sound.Buffer.size());
    const std::uint32_t start = sound.Ring.WritePos / BytesPerFrame;
    const std::uint32_t first = std::min(samples, ringSamples - start);
    const std::uint32_t second = samples - first;
    std::int16_t* ring = sound.Buffer.data();
    heard.insert(heard.end(), ring + start, ring + start + first);
    heard.insert(heard.end(), ring, ring + second);
    RenderRegions(sound.Synthesizer, sound.Ring, ring + start, first * BytesPerFrame,
                  second > 0 ? ring : nullptr, second * BytesPerFrame);
    if (fresh == nullptr) return;
    fresh->insert(fresh->end(), ring + start, ring + start + first);
    fresh->insert(fresh->end(), ring, ring + second);
}

}  // namespace

void PlayShowSound(ShowSound& sound, std::int64_t samples, std::vector<std::int16_t>& heard,
                   std::vector<std::int16_t>* fresh) {
    const std::int64_t ringSamples = static_cast<std::int64_t>(sound.Buffer.size());
    while (samples > 0) {
        const std::int64_t step = std::min(samples, ringSamples);
        PlayStep(sound, static_cast<std::uint32_t>(step), heard, fresh);
        samples -= step;
    }
}
