// Runs the show's portable code without a display or a sound device and
// prints a digest of what it produced: a frame every 0.25 s of show time,
// drawn through the render thread's own set-up and frame routine on the
// virtual platform, and two seconds of the synthesizer's output at several
// device rates, streamed the way the audio thread streams it. Built natively
// and for Windows, the two outputs must be the same lines.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "base/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"
#include "synth/stream.h"

namespace {

std::uint64_t Digest(const void* data, std::size_t bytes, std::uint64_t hash = 14695981039346656037u) {
    for (std::size_t i = 0; i < bytes; ++i)
        hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211u;
    return hash;
}

// Frame n is drawn at DemoClock of about (n - 1) / 4 s; frame 210 is past the end.
void DumpFrames() {
    RandomSeed.store(0);
    ResetVirtualPlatform();
    VirtualPlatform.ticksPerSecond = 1'000'000;
    VirtualPlatform.framePeriod = 250'000;
    Show show;
    StartShow(show, RandomSeed);
    for (int frame = 0; frame <= 210; ++frame) {
        RenderFrame(show);
        std::printf(
            "frame %3d scene %2d %s %016llx\n", frame, show.SceneIndex,
            VirtualPlatform.lastLockSucceeded ? "drawn" : "not drawn",
            static_cast<unsigned long long>(Digest(VirtualFrame(), FramePixelCount * sizeof(Colour32))));
    }
}

// One second as the first fill, then another second in passes of uneven
// length that wrap around the ring.
bool DumpSamples(std::uint32_t rate) {
    RandomSeed.store(0);
    Synth synth;
    if (const std::string problem = StartSynth(synth, {BuiltInSong, BuiltInSongSize}, rate);
        !problem.empty()) {
        std::fprintf(stderr, "rate %u: %s\n", rate, problem.c_str());
        return false;
    }
    SoundRing ring;
    ring.BufferBytes = BytesPerFrame * rate;
    std::vector<unsigned char> buffer(ring.BufferBytes);
    FirstFill(synth, ring, buffer.data(), ring.BufferBytes);
    std::uint64_t digest = Digest(buffer.data(), ring.BufferBytes);
    std::uint32_t cursor = 0;
    for (std::uint32_t pass = 0, played = 0; played < rate; ++pass) {
        const std::uint32_t step = rate / 53 + 7 * pass;
        cursor = (cursor + BytesPerFrame * step) % ring.BufferBytes;
        played += step;
        const std::uint32_t start = ring.WritePos, due = BytesDue(ring, cursor);
        const std::uint32_t first = std::min(due, ring.BufferBytes - start);
        RenderRegions(synth, ring, &buffer[start], first, first < due ? buffer.data() : nullptr, due - first);
        digest = Digest(buffer.data(), due - first, Digest(&buffer[start], first, digest));
    }
    std::printf("samples %6u Hz digest %016llx\n", rate, static_cast<unsigned long long>(digest));
    return true;
}

}  // namespace

int main() {
    DumpFrames();
    bool ok = true;
    // 200,000 Hz is what Wine's DirectSound offers.
    for (std::uint32_t rate : {44100u, 48000u, 200000u}) ok = DumpSamples(rate) && ok;
    return ok ? 0 : 1;
}
