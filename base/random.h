#pragma once
// The one pseudo-random generator of the process, shared by the render thread
// and the noise voice. Each draw advances the state as one indivisible step.
#include <atomic>
#include <cstdint>

extern std::atomic<std::uint32_t> RandomSeed;  // 0 at program start

std::uint32_t RandomBelow(std::uint32_t n);  // in [0, n), 0 when n is 0
double RandomFraction();                     // in [0, 1)
