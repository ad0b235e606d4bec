#include "stream.h"

namespace {

void RenderRegion(Synth& synth, SoundRing& ring, void* region, std::uint32_t count) {
    RenderSamples(synth, static_cast<std::int16_t*>(region),
                  static_cast<std::int32_t>(count / BytesPerFrame));
    ring.WritePos = static_cast<std::uint32_t>((std::uint64_t{ring.WritePos} + count) % ring.BufferBytes);
}

}  // namespace

std::uint32_t BytesDue(const SoundRing& ring, std::uint32_t playCursor) {
    if (playCursor >= ring.WritePos) return playCursor - ring.WritePos;
    return ring.BufferBytes - ring.WritePos + playCursor;
}

void RenderRegions(Synth& synth, SoundRing& ring, void* region1, std::uint32_t count1, void* region2,
                   std::uint32_t count2) {
    RenderRegion(synth, ring, region1, count1);
    if (region2 != nullptr) RenderRegion(synth, ring, region2, count2);
}

void FirstFill(Synth& synth, SoundRing& ring, void* buffer, std::uint32_t count) {
    ring.WritePos = 0;
    RenderRegion(synth, ring, buffer, count);
}
