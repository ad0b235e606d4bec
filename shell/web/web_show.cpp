// The show as a web page plays it. The page owns the clocks and the output:
// it calls ShowStart once its audio context runs, then ShowPlayFrame for
// every frame that the audio clock has made due, and hands the freshly
// synthesized samples to its audio worklet and the picture to its canvas.
//
// Time is the virtual platform's: 10,000 counter ticks of a microsecond per
// frame, so the frames are the capture tool's frames. The sound is made in
// the program's order: one second of it before the render set-up, then per
// frame the samples that play while the frame is on its way, then the
// frame. The synthesizer thus stays a second ahead of what is heard.
#include <cstdint>
#include <string>
#include <vector>

#include "demo/render_platform.h"
#include "demo/timeline.h"
#include "demo/virtual_platform.h"
#include "base/random.h"
#include "synth/song.h"
#include "synth/stream.h"
#include "tools/show_span.h"

#define DX_EXPORT(name) extern "C" __attribute__((export_name(name)))

namespace {

constexpr std::int64_t FramePeriod = 10'000;  // counter ticks (microseconds) per frame

struct WebShow {
    Synth Synthesizer;
    SoundRing Ring;
    std::vector<std::int16_t> RingSamples;  // one second, looping
    Show Drawing;
    std::uint32_t Rate = 0;
    std::int64_t NextFrame = 0;
    std::int64_t FrameCount = 0;   // frames before second 51's
    std::uint32_t FreshStart = 0;  // the latest synthesized samples, in RingSamples
    std::uint32_t FreshCount = 0;  // (they may run across its end)
    std::string Problem;
    std::vector<std::uint32_t> Picture;  // the presented frame as RGBA bytes
};

WebShow Page;

// The samples heard while frame `frame` is on its way are rendered anew in
// their place in the ring, behind the play position.
void PlayFrameSound(std::int64_t frame) {
    const auto samples = static_cast<std::uint32_t>(SamplesBeforeFrame(frame + 1, FramePeriod, Page.Rate) -
                                                    SamplesBeforeFrame(frame, FramePeriod, Page.Rate));
    const std::uint32_t ringSamples = Page.Rate;
    const std::uint32_t start = Page.Ring.WritePos / BytesPerFrame;
    const std::uint32_t first = samples < ringSamples - start ? samples : ringSamples - start;
    const std::uint32_t second = samples - first;
    std::int16_t* ring = Page.RingSamples.data();
    RenderRegions(Page.Synthesizer, Page.Ring, ring + start, first * BytesPerFrame,
                  second > 0 ? ring : nullptr, second * BytesPerFrame);
    Page.FreshStart = start;
    Page.FreshCount = samples;
}

}  // namespace

// Starts the show at the audio context's rate: the first second of sound,
// then the render set-up. Returns 0, or 1 when the rate cannot be played
// (ShowProblem says why).
DX_EXPORT("ShowStart") int ShowStart(std::uint32_t rate) {
    RandomSeed.store(0);
    ResetVirtualPlatform();
    VirtualPlatform.framePeriod = FramePeriod;
    Page.Drawing = Show{};
    Page.Problem = StartSynth(Page.Synthesizer, {BuiltInSong, BuiltInSongSize}, rate);
    if (!Page.Problem.empty()) return 1;
    Page.Rate = rate;
    Page.RingSamples.assign(rate, 0);
    Page.Ring.BufferBytes = BytesPerFrame * rate;
    FirstFill(Page.Synthesizer, Page.Ring, Page.RingSamples.data(), Page.Ring.BufferBytes);
    Page.FreshStart = 0;
    Page.FreshCount = rate;
    StartShow(Page.Drawing, RandomSeed);
    Page.NextFrame = 0;
    Page.FrameCount = ShowFrameCount(FramePeriod);
    return 0;
}

DX_EXPORT("ShowProblem") const char* ShowProblem() {
    return Page.Problem.c_str();
}

// Frames the show draws before the one that ends it at second 51.
DX_EXPORT("ShowFrames") double ShowFrames() {
    return static_cast<double>(Page.FrameCount);
}

// Samples heard before frame `frame` is due; the frame is due once they have been.
DX_EXPORT("ShowSamplesBeforeFrame") double ShowSamplesBeforeFrame(double frame) {
    return static_cast<double>(SamplesBeforeFrame(static_cast<std::int64_t>(frame), FramePeriod, Page.Rate));
}

// Plays the next frame, its sound first; returns its index. The frame after
// the last one is second 51's: black, and it asks the show to close. A
// hidden page has its frames played but not drawn (draw = 0): a frame whose
// memory cannot be had still moves the clock, the phase and the balls.
DX_EXPORT("ShowPlayFrame") double ShowPlayFrame(int draw) {
    const std::int64_t frame = Page.NextFrame++;
    PlayFrameSound(frame);
    if (!draw && frame < Page.FrameCount) VirtualPlatform.failingLocks = 1;
    PlatformSleep10ms();
    RenderFrame(Page.Drawing);
    PlatformPresentFrame();
    return static_cast<double>(frame);
}

// True once a frame has asked the show to close.
DX_EXPORT("ShowEnded") int ShowEnded() {
    return VirtualPlatform.closeRequests > 0 ? 1 : 0;
}

// The ring of sound and where in it the latest samples lie.
DX_EXPORT("ShowSoundRing") const std::int16_t* ShowSoundRing() {
    return Page.RingSamples.data();
}
DX_EXPORT("ShowFreshStart") std::uint32_t ShowFreshStart() {
    return Page.FreshStart;
}
DX_EXPORT("ShowFreshCount") std::uint32_t ShowFreshCount() {
    return Page.FreshCount;
}

// The presented frame as a canvas takes it: bytes red, green, blue and an
// opaque alpha for each pixel.
DX_EXPORT("ShowPicture") const std::uint32_t* ShowPicture() {
    constexpr std::size_t Count = static_cast<std::size_t>(ScreenWidth) * ScreenHeight;
    Page.Picture.resize(Count);
    const Colour32* pixels = VirtualFrame();
    std::uint32_t* out = Page.Picture.data();
    for (std::size_t i = 0; i < Count; ++i) {
        const std::uint32_t p = pixels[i];
        out[i] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu);
    }
    return out;
}
