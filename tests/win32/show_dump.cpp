// Runs the show's portable code without a display or a sound device and
// writes what it produced: chosen frames of every scene, drawn through the
// render thread's own set-up and frame routine on the virtual platform, and
// the synthesizer's output at several device rates, streamed the way the
// audio thread streams it. Built natively and for Windows, the two outputs
// must be the same bytes.
//
// Usage: show-dump OUTDIR
// Writes OUTDIR/frames.raw (the chosen frames one after the other, 800 x 600
// little-endian 32-bit pixels each) and OUTDIR/samples-RATE.raw (little-endian
// 16-bit samples), and prints a digest of each part.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "demo/render_platform.h"
#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "raster/random.h"
#include "synth/dxvornik.h"
#include "synth/song.h"
#include "synth/stream.h"

namespace {

// A frame every 0.25 s of show time walks through the 51-second show in
// about 210 frames. Frame n is drawn at DemoClock of about (n - 1) / 4 s.
constexpr std::int64_t TicksPerSecond = 1'000'000;
constexpr std::int64_t FramePeriod = 250'000;
constexpr int LastFrame = 210;

// Frames in every scene, none next to a scene change.
constexpr int ChosenFrames[] = {
    3,             // first title
    17,            // second title
    33,            // third title
    49, 73,        // balls
    93, 117, 137,  // disc rings and column
    153, 177, 197, // landscape and greetings
    206,           // the close second: black
};

// The rates a device may report; 200,000 Hz is what Wine's DirectSound offers.
constexpr std::uint32_t SampleRates[] = {44100, 48000, 200000};

std::uint64_t Digest(const void* data, std::size_t bytes, std::uint64_t hash = 14695981039346656037u) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < bytes; ++i) hash = (hash ^ p[i]) * 1099511628211u;
    return hash;
}

struct FrameCapture {
    std::FILE* file = nullptr;
    int frame = 0;   // frames presented so far
    int wanted = 0;  // index into ChosenFrames
    bool failed = false;
};

void CaptureFrame(void* context, const MemoryFrame& memory, bool drawn) {
    auto& capture = *static_cast<FrameCapture*>(context);
    const int frame = capture.frame++;
    if (capture.wanted >= int(std::size(ChosenFrames)) || frame != ChosenFrames[capture.wanted]) return;
    ++capture.wanted;
    capture.failed |= !drawn;
    capture.failed |= std::fwrite(memory.pixels, sizeof memory.pixels, 1, capture.file) != 1;
    std::printf("frame %3d scene %2d digest %016llx\n", frame, SceneIndex,
                static_cast<unsigned long long>(Digest(memory.pixels, sizeof memory.pixels)));
}

bool DumpFrames(const std::string& directory) {
    FrameCapture capture;
    capture.file = std::fopen((directory + "/frames.raw").c_str(), "wb");
    if (!capture.file) return false;

    RandomSeed.store(0);
    ResetTimeline();
    ResetVirtualPlatform();
    VirtualPlatform.ticksPerSecond = TicksPerSecond;
    VirtualPlatform.framePeriod = FramePeriod;
    VirtualPlatform.presentHook = VirtualPresentHook{CaptureFrame, &capture};

    RenderThreadSetUp();
    for (int frame = 0; frame <= LastFrame; ++frame) {
        RenderFrame();
        PlatformPresentFrame();
    }
    const bool complete = capture.wanted == int(std::size(ChosenFrames));
    return std::fclose(capture.file) == 0 && complete && !capture.failed;
}

// One second as the first fill, then another second in passes of uneven
// length that wrap around the ring, as the audio thread renders them.
bool DumpSamples(const std::string& directory, std::uint32_t rate) {
    RandomSeed.store(0);
    Synth synth;
    const std::string problem =
        StartSynth(synth, std::span<const std::uint8_t>(BuiltInSong, BuiltInSongSize), rate);
    if (!problem.empty()) {
        std::fprintf(stderr, "rate %u: %s\n", rate, problem.c_str());
        return false;
    }
    SoundRing ring;
    ring.BufferBytes = BytesPerFrame * rate;
    std::vector<std::int16_t> buffer(rate);
    FirstFill(synth, ring, buffer.data(), ring.BufferBytes);
    std::vector<std::int16_t> stream(buffer);

    std::uint32_t cursor = 0;
    std::uint32_t played = 0;
    for (std::uint32_t pass = 0; played < rate; ++pass) {
        const std::uint32_t step = BytesPerFrame * (rate / 53 + 7 * pass);
        cursor = (cursor + step) % ring.BufferBytes;
        played += step / BytesPerFrame;
        const std::uint32_t due = BytesDue(ring, cursor);
        const std::uint32_t first = std::min(due, ring.BufferBytes - ring.WritePos);
        std::int16_t* region1 = buffer.data() + ring.WritePos / BytesPerFrame;
        std::int16_t* region2 = first < due ? buffer.data() : nullptr;
        const std::uint32_t start = ring.WritePos / BytesPerFrame;
        RenderRegions(synth, ring, region1, first, region2, due - first);
        stream.insert(stream.end(), buffer.begin() + start, buffer.begin() + start + first / 2);
        if (region2) stream.insert(stream.end(), buffer.begin(), buffer.begin() + (due - first) / 2);
    }

    const std::string path = directory + "/samples-" + std::to_string(rate) + ".raw";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(stream.data(), sizeof stream[0], stream.size(), file) == stream.size();
    std::printf("samples %6u Hz: %zu, digest %016llx\n", rate, stream.size(),
                static_cast<unsigned long long>(Digest(stream.data(), stream.size() * 2)));
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: show-dump OUTDIR\n");
        return 2;
    }
    const std::string directory = argv[1];
    bool ok = DumpFrames(directory);
    for (std::uint32_t rate : SampleRates) ok = DumpSamples(directory, rate) && ok;
    if (!ok) std::fprintf(stderr, "show-dump: could not produce or write everything\n");
    return ok ? 0 : 1;
}
