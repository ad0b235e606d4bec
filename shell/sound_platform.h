#pragma once
// The sound device as the audio thread sees it: one looping buffer of mono
// signed 16-bit PCM at the highest rate the device offers, whose play position
// can be read and whose region behind the play position can be locked and
// written. One implementation per platform (shell/win32 or shell/sdl); how the
// device is reached and what its failures are called is the platform's own.
#include <cstdint>

// Negative values are failures; every call that returns one is handed to
// CheckSoundResult, which shows SoundFailureText for it and ends the program.
using SoundResult = std::int32_t;

// Opens the default device for the program's window and reports the highest
// sample rate it plays. Nothing is played yet.
SoundResult SoundFindDevice(void* window, std::uint32_t& sampleRate);

// Opens the looping buffer of bufferBytes at sampleRate on that device,
// stopped; its play position starts at 0.
SoundResult SoundOpen(std::uint32_t sampleRate, std::uint32_t bufferBytes);

// A locked region of the ring: its end in part 1, and its start in part 2
// when the region wraps (pointer2 null and count2 0 otherwise).
struct SoundRegions {
    void* pointer1 = nullptr;
    std::uint32_t count1 = 0;
    void* pointer2 = nullptr;
    std::uint32_t count2 = 0;
};

// Locks bytes from offset on, across the end of the buffer if need be. The
// whole buffer is locked from offset 0, as one region.
SoundResult SoundLock(std::uint32_t offset, std::uint32_t bytes, SoundRegions& regions);
SoundResult SoundUnlock(const SoundRegions& regions);

void SoundPlayLooping();
std::uint32_t SoundPlayCursor();  // byte offset of the play position
void SoundStop();

// Releases what SoundFindDevice and SoundOpen made, whatever of it exists.
// One of the shutdown steps: run once, at exit, after the audio thread.
void SoundClose();

// The text shown for a failed sound call.
const char* SoundFailureText(SoundResult code);
