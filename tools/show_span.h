#pragma once
// How the captured show is cut into frames and sound: the frame count the
// timeline gives for a frame period, and the samples that belong to each frame.
#include <cstdint>

// The virtual counter's rate: ticks are microseconds.
constexpr std::int64_t TicksPerSecond = 1'000'000;

// Frame periods the capture accepts, in microseconds. Below a millisecond
// the show would need more frames than the five-digit file names can number.
constexpr std::int64_t MinFramePeriod = 1'000;
constexpr std::int64_t MaxFramePeriod = 10'000'000;

// The scene at which the show ends: the first frame that would show it is
// not captured. A long frame period can step over it, so any later scene
// ends the show as well.
constexpr std::int32_t EndSceneIndex = 51;

// Samples of sound in the first `frames` frames: floor(frames x P x rate / 1e6).
// Summing the differences of consecutive counts loses and repeats no sample.
// Exact for frames x P up to 2^63 / rate (far beyond any show).
std::int64_t SamplesBeforeFrame(std::int64_t frames, std::int64_t framePeriod, std::uint32_t rate);

// The number of frames the timeline draws before the first one whose scene
// index reaches EndSceneIndex, when the counter advances by framePeriod
// ticks per frame after two equal set-up readings. The clock is summed in
// the same order and precision as the render thread sums it.
std::int64_t ShowFrameCount(std::int64_t framePeriod);
