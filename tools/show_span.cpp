#include "show_span.h"

#include "demo/timeline.h"

std::int64_t SamplesBeforeFrame(std::int64_t frames, std::int64_t framePeriod, std::uint32_t rate) {
    const std::uint64_t microseconds =
        static_cast<std::uint64_t>(frames) * static_cast<std::uint64_t>(framePeriod);
    // Whole seconds and the remainder separately, so the product stays small.
    const std::uint64_t seconds = microseconds / TicksPerSecond;
    const std::uint64_t rest = microseconds % TicksPerSecond;
    return static_cast<std::int64_t>(seconds * rate + rest * rate / TicksPerSecond);
}

std::int64_t ShowFrameCount(std::int64_t framePeriod) {
    // Frame 0's delta spans the two set-up readings (0 ticks); every later
    // frame's spans one period.
    double demoClock = 0.0;
    double frameDelta = 0.0;
    std::int64_t frames = 0;
    while (SceneIndexFor(demoClock) < EndSceneIndex) {
        demoClock += frameDelta;
        frameDelta = static_cast<double>(framePeriod) / static_cast<double>(TicksPerSecond);
        ++frames;
    }
    return frames;
}
