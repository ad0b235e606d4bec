#include "fake_platform.h"

#include <algorithm>

#include "demo/timeline.h"
#include "shell/program.h"
#include "synth/song.h"
#include "synth/stream.h"

std::vector<std::string> FakeLog;
QuestionAnswer FakeAnswer = QuestionAnswer::No;
FakeSoundScript FakeSound;
std::vector<std::uint8_t> FakeRing;
int FakeAudioReadyAfterPolls = 0;
bool FakeCurrentIsAudioWorker = false;

struct WorkerThread {
    std::string name;
};

namespace {

WorkerThread RenderWorker{"render"};
WorkerThread AudioWorker{"audio"};
std::size_t StreamingPass = 0;
int Polls = 0;

void Log(const std::string& line) { FakeLog.push_back(line); }

std::string Flags() {
    return std::string(" audioStop=") + (AudioStopRequested.load() ? "1" : "0") +
           " renderStop=" + (RenderStopRequested.load() ? "1" : "0");
}

}  // namespace

void ResetFake() {
    ResetMainLineState();
    FakeLog.clear();
    FakeAnswer = QuestionAnswer::No;
    FakeSound = FakeSoundScript{};
    FakeRing.clear();
    FakeAudioReadyAfterPolls = 0;
    FakeCurrentIsAudioWorker = false;
    StreamingPass = 0;
    Polls = 0;
}

int FakeLogIndex(const std::string& line) {
    const auto found = std::find(FakeLog.begin(), FakeLog.end(), line);
    return found == FakeLog.end() ? -1 : static_cast<int>(found - FakeLog.begin());
}

void InitialisePlatform() { Log("InitialisePlatform"); }

QuestionAnswer AskFullScreenQuestion() {
    Log("AskFullScreenQuestion");
    return FakeAnswer;
}

void OpenMainWindow() {
    Log(std::string("OpenMainWindow fullScreen=") + (FullScreen ? "1" : "0"));
    WindowHandle = &FakeLog;
}

void SetUpDisplay() { Log("SetUpDisplay"); }
void RaiseProcessPriority() {
    const std::vector<std::uint8_t> builtIn(BuiltInSong, BuiltInSong + BuiltInSongSize);
    Log(std::string("RaiseProcessPriority song=") + (SongBytes == builtIn ? "built-in" : "other"));
}

WorkerThread* CreateSuspendedWorker(WorkerProc proc, void* parameter, WorkerPriority priority) {
    WorkerThread* worker = proc == RenderThreadProc ? &RenderWorker : &AudioWorker;
    const bool handOverWindow = parameter == &WindowHandle;
    Log("CreateSuspendedWorker " + worker->name +
        (priority == WorkerPriority::AboveNormal ? " aboveNormal" : " normal") +
        (handOverWindow ? " &WindowHandle" : " other parameter"));
    return worker;
}

void ResumeWorker(WorkerThread* worker) {
    Log("ResumeWorker " + worker->name + (AudioReady.load() ? " audioReady=1" : " audioReady=0"));
}

void WaitForWorker(WorkerThread* worker) { Log("WaitForWorker " + worker->name + Flags()); }
void CloseWorker(WorkerThread* worker) { Log("CloseWorker " + worker->name); }

bool IsCurrentWorker(const WorkerThread* worker) {
    return worker == &AudioWorker && FakeCurrentIsAudioWorker;
}

void SleepMilliseconds(std::uint32_t milliseconds) {
    Log("Sleep " + std::to_string(milliseconds));
    if (milliseconds == 1 && ++Polls >= FakeAudioReadyAfterPolls) AudioReady.store(true);
}

void RunMessageLoop() {
    Log("RunMessageLoop");
    RunCloseProtocol();
    RunCloseProtocol();  // a second request still queued
}

void RestoreDisplay() { Log("RestoreDisplay"); }
void ReleaseDisplayObjects() { Log("ReleaseDisplayObjects"); }
void ReleaseSoundObjects() { Log("ReleaseSoundObjects"); }
void UnloadLibraries() { Log("UnloadLibraries songBytes=" + std::to_string(SongBytes.size())); }

void ExitProcessWith(int exitCode) {
    Log("ExitProcessWith " + std::to_string(exitCode));
    throw FakeExit{exitCode};
}

void FatalSystemError() {
    Log("FatalSystemError");
    ShutdownSteps(5);
}

void ShowErrorBox(const char* text) { Log(std::string("ShowErrorBox ") + text); }

SoundResult SoundCreateDevice() {
    Log("SoundCreateDevice");
    return FakeSound.createDeviceResult;
}

SoundResult SoundSetCooperativeLevel(void* windowHandle) {
    Log(std::string("SoundSetCooperativeLevel") + (windowHandle == WindowHandle ? " window" : " other"));
    return 0;
}

SoundResult SoundGetCaps(std::uint32_t& maxSampleRate) {
    Log("SoundGetCaps");
    maxSampleRate = FakeSound.sampleRate;
    return 0;
}

SoundResult SoundCreateBuffer(std::uint32_t sampleRate, std::uint32_t bufferBytes) {
    Log("SoundCreateBuffer " + std::to_string(sampleRate) + " " + std::to_string(bufferBytes));
    FakeRing.assign(bufferBytes, 0xEE);
    return 0;
}

SoundResult SoundQueryBuffer8() {
    Log("SoundQueryBuffer8");
    return 0;
}

SoundResult SoundLock(std::uint32_t offset, std::uint32_t bytes, bool entireBuffer, SoundRegions& regions) {
    Log("SoundLock " + std::to_string(offset) + " " + std::to_string(bytes) + (entireBuffer ? " entire" : ""));
    if (static_cast<int>(StreamingPass) == FakeSound.failingLockPass && !entireBuffer) return -7;
    const auto size = static_cast<std::uint32_t>(FakeRing.size());
    if (entireBuffer) {
        offset = 0;
        bytes = size;
    }
    const std::uint32_t first = std::min(bytes, size - offset);
    regions.pointer1 = FakeRing.data() + offset;
    regions.count1 = first;
    regions.pointer2 = bytes > first ? FakeRing.data() : nullptr;
    regions.count2 = bytes - first;
    return 0;
}

SoundResult SoundUnlock(const SoundRegions& regions) {
    Log("SoundUnlock " + std::to_string(regions.count1) + (regions.pointer2 ? " two " : " one ") +
        std::to_string(regions.count2));
    return 0;
}

void SoundPlayLooping() { Log(std::string("SoundPlayLooping audioReady=") + (AudioReady.load() ? "1" : "0")); }

// Each pass reads the cursor once; after the script runs out the window asks
// the thread to stop.
std::uint32_t SoundPlayCursor() {
    const std::uint32_t cursor = FakeSound.playCursors.at(StreamingPass);
    Log("SoundPlayCursor " + std::to_string(cursor));
    ++StreamingPass;
    if (StreamingPass == FakeSound.playCursors.size()) AudioStopRequested.store(true);
    return cursor;
}

void SoundStop() { Log("SoundStop"); }

const char* SoundFailureText(SoundResult code) { return SoundErrorText(code); }
