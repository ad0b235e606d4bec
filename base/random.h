#pragma once
// A linear congruential generator. Each draw advances the state as one
// indivisible step, so two threads may draw from one state.
#include <atomic>
#include <cstdint>

using RandomState = std::atomic<std::uint32_t>;

// The program's one generator, shared by the render thread's set-up and the
// noise voice: which of them draws first changes what the other gets, so both
// name it where they draw. 0 at program start.
extern RandomState RandomSeed;

std::uint32_t RandomBelow(RandomState& state, std::uint32_t n);  // in [0, n), 0 when n is 0
double RandomFraction(RandomState& state);                       // in [0, 1)
