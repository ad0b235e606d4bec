// The audio thread: the device is reached through sound_platform.h; how many
// bytes are due and how they are rendered is the synthesizer's streaming pass.
#include "shell/program.h"
#include "synth/dxvornik.h"
#include "synth/stream.h"

std::atomic<bool> AudioReady{false};
std::atomic<bool> AudioStopRequested{false};

namespace {

// Owned by the audio thread for its whole life.
Synth AudioSynth;
SoundRing AudioRing;

// A song or rate the synthesizer cannot play would make it read outside the
// image or divide by a zero step: stop the same way as a failed device call.
void CheckSynthProblem(const std::string& problem) {
    if (problem.empty()) return;
    ShowErrorBox(problem.c_str());
    ShutdownSteps(1);
}

void PrepareSynth(std::uint32_t sampleRate) {
    AudioSynth.SongBytes = SongBytes;
    CheckSynthProblem(LoadSongLayout(AudioSynth));
    AudioSynth.SampleRate = sampleRate;
    CheckSynthProblem(CheckSampleRate(AudioSynth));
    BuildNoteTables(AudioSynth);
}

// One full second before playback starts, so the buffer is always full.
void FillWholeRing() {
    SoundRegions regions;
    CheckSoundResult(SoundLock(0, AudioRing.BufferBytes, regions));
    FirstFill(AudioSynth, AudioRing, regions.pointer1, regions.count1);
    CheckSoundResult(SoundUnlock(SoundRegions{regions.pointer1, regions.count1, nullptr, 0}));
}

// Renders exactly what the play cursor has moved over since the last pass.
void RefillBehindCursor() {
    const std::uint32_t due = BytesDue(AudioRing, SoundPlayCursor());
    if (due == 0) return;
    SoundRegions regions;
    CheckSoundResult(SoundLock(AudioRing.WritePos, due, regions));
    RenderRegions(AudioSynth, AudioRing, regions.pointer1, regions.count1, regions.pointer2, regions.count2);
    CheckSoundResult(SoundUnlock(regions));
}

}  // namespace

std::uint32_t AudioThreadProc(void* parameter) {
    void* const window = *static_cast<void* const*>(parameter);
    std::uint32_t sampleRate = 0;
    CheckSoundResult(SoundFindDevice(window, sampleRate));
    // A rate the synthesizer cannot play is reported before any buffer exists.
    PrepareSynth(sampleRate);
    AudioRing.BufferBytes = BytesPerFrame * sampleRate;
    CheckSoundResult(SoundOpen(sampleRate, AudioRing.BufferBytes));
    InitChannels(AudioSynth);
    FillWholeRing();
    AudioReady.store(true);
    SoundPlayLooping();
    for (;;) {
        SleepMilliseconds(20);
        RefillBehindCursor();
        if (AudioStopRequested.load()) break;
    }
    SoundStop();
    return 0;
}
