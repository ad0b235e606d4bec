// The sound device through DirectSound 8: one looping secondary buffer of
// mono 16-bit PCM. Used by the audio thread only; released at exit. Each
// DirectSound call is made in turn and the first failure code is handed back
// at once: the box shows that call's code, and nothing after it runs.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

#include "shell/sound_platform.h"
#include "shell/win32/dx_binding.h"

namespace {

// {6825A449-7524-4D82-920F-50E36AB3AB1E}
constexpr GUID SoundBuffer8Id = {
    0x6825A449, 0x7524, 0x4D82, {0x92, 0x0F, 0x50, 0xE3, 0x6A, 0xB3, 0xAB, 0x1E}};

using DirectSoundCreate8Proc = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND8*, LPUNKNOWN);

constexpr DWORD BufferFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;  // 0x18000
static_assert(BufferFlags == 0x18000);

IDirectSound8* SoundDevice = nullptr;
IDirectSoundBuffer* SoundBuffer = nullptr;
IDirectSoundBuffer8* SoundBuffer8 = nullptr;
DSCAPS SoundCaps{};
WAVEFORMATEX SoundFormat{};
DSBUFFERDESC SoundBufferDesc{};
DWORD PlayCursor = 0;

static_assert(sizeof(DSCAPS) == 96);
static_assert(sizeof(void*) != 4 || sizeof(DSBUFFERDESC) == 36);

template <typename Interface>
void Release(Interface*& object) {
    if (object) object->Release();
    object = nullptr;
}

}  // namespace

// The device at the priority level, and its capabilities for the rate.
SoundResult SoundFindDevice(void* window, std::uint32_t& sampleRate) {
    const auto create = EntryPoint<DirectSoundCreate8Proc>(DirectSound, "DirectSoundCreate8");
    if (!create) return DSERR_NODRIVER;  // the binding reports this before any thread runs
    HRESULT result = create(nullptr, &SoundDevice, nullptr);
    if (FAILED(result)) return result;
    result = SoundDevice->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_PRIORITY);
    if (FAILED(result)) return result;
    std::memset(&SoundCaps, 0, sizeof SoundCaps);
    SoundCaps.dwSize = sizeof SoundCaps;
    result = SoundDevice->GetCaps(&SoundCaps);
    sampleRate = SoundCaps.dwMaxSecondarySampleRate;
    return result;
}

// The secondary buffer as created, then its version-8 interface, through
// which every later buffer call goes.
SoundResult SoundOpen(std::uint32_t sampleRate, std::uint32_t bufferBytes) {
    std::memset(&SoundFormat, 0, sizeof SoundFormat);
    SoundFormat.wFormatTag = WAVE_FORMAT_PCM;
    SoundFormat.nChannels = 1;
    SoundFormat.nSamplesPerSec = sampleRate;
    SoundFormat.nBlockAlign = SoundFormat.nChannels * 16 / 8;
    SoundFormat.nAvgBytesPerSec = SoundFormat.nBlockAlign * sampleRate;
    SoundFormat.wBitsPerSample = 16;
    SoundFormat.cbSize = 0;

    std::memset(&SoundBufferDesc, 0, sizeof SoundBufferDesc);
    SoundBufferDesc.dwSize = sizeof SoundBufferDesc;
    SoundBufferDesc.dwFlags = BufferFlags;
    SoundBufferDesc.dwBufferBytes = bufferBytes;
    SoundBufferDesc.dwReserved = 0;
    SoundBufferDesc.lpwfxFormat = &SoundFormat;
    const HRESULT result = SoundDevice->CreateSoundBuffer(&SoundBufferDesc, &SoundBuffer, nullptr);
    if (FAILED(result)) return result;
    return SoundBuffer->QueryInterface(SoundBuffer8Id, reinterpret_cast<void**>(&SoundBuffer8));
}

// The first fill locks the whole buffer with DSBLOCK_ENTIREBUFFER; a refill
// is always shorter than the buffer (what is due stops short of WritePos),
// so it locks with no flags.
SoundResult SoundLock(std::uint32_t offset, std::uint32_t bytes, SoundRegions& regions) {
    regions = SoundRegions{};
    DWORD count1 = 0;
    DWORD count2 = 0;
    const DWORD flags = bytes == SoundBufferDesc.dwBufferBytes ? DSBLOCK_ENTIREBUFFER : 0;
    const HRESULT result =
        SoundBuffer8->Lock(offset, bytes, &regions.pointer1, &count1, &regions.pointer2, &count2, flags);
    if (FAILED(result)) {
        regions = SoundRegions{};
        return result;
    }
    regions.count1 = count1;
    regions.count2 = count2;
    return result;
}

SoundResult SoundUnlock(const SoundRegions& regions) {
    return SoundBuffer8->Unlock(regions.pointer1, regions.count1, regions.pointer2, regions.count2);
}

void SoundPlayLooping() {
    SoundBuffer8->Play(0, 0, DSBPLAY_LOOPING);
}

std::uint32_t SoundPlayCursor() {
    // On a failed reading the cursor stays where it was: nothing new is
    // counted as played.
    DWORD play = PlayCursor;
    DWORD write = 0;
    if (SUCCEEDED(SoundBuffer8->GetCurrentPosition(&play, &write))) PlayCursor = play;
    return PlayCursor;
}

void SoundStop() {
    if (SoundBuffer8) SoundBuffer8->Stop();
}

void SoundClose() {
    Release(SoundBuffer8);
    Release(SoundBuffer);
    Release(SoundDevice);
}
