// The looping sound buffer on an SDL audio device. The ring holds one second
// of mono 16-bit samples; the device's callback only copies from it at the
// play cursor and moves the cursor on. Everything it plays was rendered by
// the audio thread behind the cursor. The device lock keeps a refill and the
// callback apart; a refill holds it for the few hundred microseconds that 20
// ms of samples take to render.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "shell/program.h"
#include "shell/sdl/sdl_shell.h"

namespace {

constexpr SoundResult SoundFailed = -1;
// Where the device reports no rate of its own.
constexpr std::uint32_t FallbackSampleRate = 48000;
constexpr Uint16 CallbackFrames = 1024;

bool AudioStarted = false;
SDL_AudioDeviceID Device = 0;
std::vector<Uint8> Ring;
std::atomic<std::uint32_t> PlayCursor{0};
std::string LastFailure;

SoundResult Failure() {
    LastFailure = SDL_GetError();
    return SoundFailed;
}

// On the device's thread, with the device lock held.
void CopyFromRing(void*, Uint8* stream, int length) {
    const auto ringBytes = static_cast<std::uint32_t>(Ring.size());
    std::uint32_t cursor = PlayCursor.load(std::memory_order_relaxed);
    auto remaining = static_cast<std::uint32_t>(length);
    while (remaining > 0) {
        const std::uint32_t chunk = std::min(remaining, ringBytes - cursor);
        std::memcpy(stream, Ring.data() + cursor, chunk);
        stream += chunk;
        remaining -= chunk;
        cursor = (cursor + chunk) % ringBytes;
    }
    PlayCursor.store(cursor, std::memory_order_release);
}

}  // namespace

// The device needs no window here.
SoundResult SoundFindDevice(void*, std::uint32_t& maxSampleRate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Failure();
    AudioStarted = true;
    SDL_AudioSpec deviceFormat{};
    maxSampleRate = FallbackSampleRate;
    if (SDL_GetDefaultAudioInfo(nullptr, &deviceFormat, 0) == 0 && deviceFormat.freq > 0) {
        maxSampleRate = static_cast<std::uint32_t>(deviceFormat.freq);
    } else if (SDL_GetNumAudioDevices(0) > 0 && SDL_GetAudioDeviceSpec(0, 0, &deviceFormat) == 0 &&
               deviceFormat.freq > 0) {
        maxSampleRate = static_cast<std::uint32_t>(deviceFormat.freq);
    }
    return 0;
}

// The device is opened paused at exactly the rate and format asked for; SDL
// converts where the hardware differs.
SoundResult SoundOpen(std::uint32_t sampleRate, std::uint32_t bufferBytes) {
    if (bufferBytes == 0 || bufferBytes % 2 != 0) {
        SDL_SetError("The sound buffer must hold a whole number of samples.");
        return Failure();
    }
    Ring.assign(bufferBytes, 0);
    PlayCursor.store(0);
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(sampleRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = CallbackFrames;
    wanted.callback = CopyFromRing;
    SDL_AudioSpec obtained{};
    Device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (Device == 0) return Failure();
    return 0;
}

SoundResult SoundLock(std::uint32_t offset, std::uint32_t bytes, SoundRegions& regions) {
    const auto ringBytes = static_cast<std::uint32_t>(Ring.size());
    if (offset >= ringBytes || bytes > ringBytes) {
        SDL_SetError("The sound buffer region asked for lies outside the buffer.");
        return Failure();
    }
    SDL_LockAudioDevice(Device);
    const std::uint32_t first = std::min(bytes, ringBytes - offset);
    regions.pointer1 = Ring.data() + offset;
    regions.count1 = first;
    regions.pointer2 = bytes > first ? Ring.data() : nullptr;
    regions.count2 = bytes - first;
    return 0;
}

SoundResult SoundUnlock(const SoundRegions&) {
    SDL_UnlockAudioDevice(Device);
    return 0;
}

void SoundPlayLooping() {
    SDL_PauseAudioDevice(Device, 0);
}

std::uint32_t SoundPlayCursor() {
    return PlayCursor.load(std::memory_order_acquire);
}

void SoundStop() {
    SDL_PauseAudioDevice(Device, 1);
}

const char* SoundFailureText(SoundResult) {
    return LastFailure.c_str();
}

void SoundClose() {
    if (Device != 0) SDL_CloseAudioDevice(Device);
    Device = 0;
    Ring = {};
    if (AudioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioStarted = false;
}
