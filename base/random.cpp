#include "base/random.h"

RandomState RandomSeed{0};

namespace {

constexpr std::uint32_t Multiplier = 134775813u;  // 0x08088405

// Advances the state by one step and returns the new state. The read and the
// replacement form one atomic step, so draws from the render and the audio
// thread never see the same state twice or lose a step.
std::uint32_t NextState(RandomState& state) {
    std::uint32_t old = state.load(std::memory_order_relaxed);
    std::uint32_t next;
    do {
        next = old * Multiplier + 1u;
    } while (!state.compare_exchange_weak(old, next, std::memory_order_relaxed));
    return next;
}

}  // namespace

std::uint32_t RandomBelow(RandomState& state, std::uint32_t n) {
    const std::uint64_t product = std::uint64_t{NextState(state)} * n;
    return static_cast<std::uint32_t>(product >> 32);
}

double RandomFraction(RandomState& state) {
    return static_cast<double>(NextState(state)) * 0x1p-32;
}
