#pragma once
// The portable half of the audio streaming thread: a one-second looping ring
// of mono 16-bit PCM that is refilled behind its play cursor. The platform
// shells own the device, the lock and the 20 ms sleep; these functions decide
// how many bytes are due and render them as one continuous sample stream.
#include <cstdint>

#include "dxvornik.h"

struct SoundRing {
    std::uint32_t BufferBytes = 0;  // one second: 2 x SampleRate
    std::uint32_t WritePos = 0;     // where the next synthesized byte goes
};

constexpr std::uint32_t BytesPerFrame = 2;  // mono, 16-bit

// Bytes the play cursor has moved over since the last pass: everything from
// WritePos up to (not including) the cursor, across the end of the ring when
// the cursor is behind. 0 when the cursor stands at WritePos.
std::uint32_t BytesDue(const SoundRing& ring, std::uint32_t playCursor);

// Renders into the one or two regions a lock of BytesDue bytes at WritePos
// returned (region 2 may be null with count 0) and moves WritePos past them.
// Each region gets count / 2 samples, the end of the ring before its start.
void RenderRegions(Synth& synth, SoundRing& ring, void* region1, std::uint32_t count1, void* region2,
                   std::uint32_t count2);

// The first fill: WritePos := 0, the whole ring (locked as one region) is
// rendered, and WritePos comes back to 0.
void FirstFill(Synth& synth, SoundRing& ring, void* buffer, std::uint32_t count);
