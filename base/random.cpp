#include "base/random.h"

std::atomic<std::uint32_t> RandomSeed{0};

namespace {

constexpr std::uint32_t Multiplier = 134775813u;  // 0x08088405

// Advances the shared state by one step and returns the new state. The read
// and the replacement form one atomic step, so draws from the render and the
// audio thread never see the same state twice or lose a step.
std::uint32_t NextState() {
    std::uint32_t old = RandomSeed.load(std::memory_order_relaxed);
    std::uint32_t next;
    do {
        next = old * Multiplier + 1u;
    } while (!RandomSeed.compare_exchange_weak(old, next, std::memory_order_relaxed));
    return next;
}

}  // namespace

std::uint32_t RandomBelow(std::uint32_t n) {
    const std::uint64_t product = std::uint64_t{NextState()} * n;
    return static_cast<std::uint32_t>(product >> 32);
}

double RandomFraction() { return static_cast<double>(NextState()) * 0x1p-32; }
