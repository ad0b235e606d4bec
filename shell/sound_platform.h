#pragma once
// The sound device as the audio thread sees it: one looping buffer of mono
// signed 16-bit PCM whose play position can be read and whose region behind
// the play position can be locked and written. One implementation per
// platform. Calls that return a SoundResult are handed to CheckSoundResult.
#include <cstdint>

// Negative values are failures (as DirectSound's result codes).
using SoundResult = std::int32_t;

SoundResult SoundCreateDevice();                              // default device
SoundResult SoundSetCooperativeLevel(void* windowHandle);    // priority level
SoundResult SoundGetCaps(std::uint32_t& maxSampleRate);      // highest rate the device offers
SoundResult SoundCreateBuffer(std::uint32_t sampleRate, std::uint32_t bufferBytes);
SoundResult SoundQueryBuffer8();

struct SoundRegions {
    void* pointer1 = nullptr;
    std::uint32_t count1 = 0;
    void* pointer2 = nullptr;
    std::uint32_t count2 = 0;
};

// entireBuffer: lock the whole buffer whatever offset and bytes say.
SoundResult SoundLock(std::uint32_t offset, std::uint32_t bytes, bool entireBuffer,
                      SoundRegions& regions);
SoundResult SoundUnlock(const SoundRegions& regions);
void SoundPlayLooping();
std::uint32_t SoundPlayCursor();
void SoundStop();

// The text shown for a failed sound call.
const char* SoundFailureText(SoundResult code);
