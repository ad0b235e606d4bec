// The portable main line, its close protocol, its shutdown steps and the
// audio thread, run on a recording platform: every platform call is one line
// of Log, so that whole orders are compared, error paths included, without a
// display or a sound device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "demo/timeline.h"
#include "shell/program.h"
#include "synth/song.h"
#include "synth/stream.h"
#include "tests/synth/song_builder.h"

struct WorkerThread {
    const char* name;
};

namespace {

struct FakeExit {  // thrown by ExitProcessWith instead of ending the process
    int code;
};

constexpr std::uint32_t Rate = 8000;
WorkerThread RenderWorker{"render"}, AudioWorker{"audio"};
const WorkerThread* CurrentWorker;  // the thread the code under test runs on
std::vector<std::string> Log;
std::vector<std::uint8_t> Ring;  // the looping sound buffer
QuestionAnswer Answer;
int ReadyAfterPolls, Polls;  // polls of AudioReady before the audio side is ready
std::uint32_t DeviceRate;
SoundResult CreateDeviceResult;
std::vector<std::uint32_t> Cursors;  // one per streaming pass; the last asks the thread to stop
std::size_t Pass, FailingLockPass;   // streaming pass (from 1) whose lock fails with -7

void Note(const std::string& line) { Log.push_back(line); }
std::string Bit(bool value) { return value ? "1" : "0"; }
std::string Number(std::uint32_t value) { return std::to_string(value); }

}  // namespace

void InitialisePlatform() { Note("InitialisePlatform"); }
QuestionAnswer AskFullScreenQuestion() { return Note("AskFullScreenQuestion"), Answer; }
void OpenMainWindow() {
    Note("OpenMainWindow fullScreen=" + Bit(FullScreen));
    WindowHandle = &Log;
}
void SetUpDisplay() { Note("SetUpDisplay"); }
void RaiseProcessPriority() {
    const bool builtIn = std::equal(SongBytes.begin(), SongBytes.end(), BuiltInSong,
                                    BuiltInSong + BuiltInSongSize);
    Note(std::string("RaiseProcessPriority song=") + (builtIn ? "built-in" : "other"));
}
WorkerThread* CreateSuspendedWorker(WorkerProc proc, void* parameter, WorkerPriority priority) {
    WorkerThread* worker = proc == RenderThreadProc ? &RenderWorker : &AudioWorker;
    Note(std::string("CreateSuspendedWorker ") + worker->name +
         (priority == WorkerPriority::AboveNormal ? " aboveNormal" : " normal") +
         (parameter == &WindowHandle ? " &WindowHandle" : " other parameter"));
    return worker;
}
void ResumeWorker(WorkerThread* worker) {
    Note(std::string("ResumeWorker ") + worker->name + " audioReady=" + Bit(AudioReady));
}
void WaitForWorker(WorkerThread* worker) {
    Note(std::string("WaitForWorker ") + worker->name + " audioStop=" + Bit(AudioStopRequested) +
         " renderStop=" + Bit(RenderStopRequested));
}
void CloseWorker(WorkerThread* worker) { Note(std::string("CloseWorker ") + worker->name); }
bool IsCurrentWorker(const WorkerThread* worker) { return worker == CurrentWorker; }
void SleepMilliseconds(std::uint32_t milliseconds) {
    Note("Sleep " + Number(milliseconds));
    if (milliseconds == 1 && ++Polls >= ReadyAfterPolls) AudioReady.store(true);
}
void RunMessageLoop() {
    Note("RunMessageLoop");
    RunCloseProtocol();
    RunCloseProtocol();  // a second request still queued
}
void RestoreDisplay() { Note("RestoreDisplay"); }
void ReleaseDisplayObjects() { Note("ReleaseDisplayObjects"); }
void ReleaseSoundObjects() { Note("ReleaseSoundObjects"); }
void UnloadLibraries() { Note("UnloadLibraries songBytes=" + Number(SongBytes.size())); }
void ExitProcessWith(int exitCode) {
    Note("ExitProcessWith " + std::to_string(exitCode));
    throw FakeExit{exitCode};
}
void ShowErrorBox(const char* text) { Note(std::string("ShowErrorBox ") + text); }

SoundResult SoundCreateDevice() { return Note("SoundCreateDevice"), CreateDeviceResult; }
SoundResult SoundSetCooperativeLevel(void* window) {
    return Note(window == WindowHandle ? "SoundSetCooperativeLevel window" : "other window"), 0;
}
SoundResult SoundGetCaps(std::uint32_t& maxSampleRate) {
    maxSampleRate = DeviceRate;
    return Note("SoundGetCaps"), 0;
}
SoundResult SoundCreateBuffer(std::uint32_t sampleRate, std::uint32_t bufferBytes) {
    Ring.assign(bufferBytes, 0xEE);
    return Note("SoundCreateBuffer " + Number(sampleRate) + " " + Number(bufferBytes)), 0;
}
SoundResult SoundQueryBuffer8() { return Note("SoundQueryBuffer8"), 0; }
SoundResult SoundLock(std::uint32_t offset, std::uint32_t bytes, bool entireBuffer,
                      SoundRegions& regions) {
    Note("SoundLock " + Number(offset) + " " + Number(bytes) + (entireBuffer ? " entire" : ""));
    if (Pass == FailingLockPass && !entireBuffer) return -7;
    const auto size = static_cast<std::uint32_t>(Ring.size());
    if (entireBuffer) offset = 0, bytes = size;
    const std::uint32_t first = std::min(bytes, size - offset);
    regions = {Ring.data() + offset, first, bytes > first ? Ring.data() : nullptr, bytes - first};
    return 0;
}
SoundResult SoundUnlock(const SoundRegions& regions) {
    return Note("SoundUnlock " + Number(regions.count1) + (regions.pointer2 ? " two " : " one ") +
                Number(regions.count2)),
           0;
}
void SoundPlayLooping() { Note("SoundPlayLooping audioReady=" + Bit(AudioReady)); }
std::uint32_t SoundPlayCursor() {
    const std::uint32_t cursor = Cursors.at(Pass++);
    if (Pass == Cursors.size()) AudioStopRequested.store(true);
    return Note("SoundPlayCursor " + Number(cursor)), cursor;
}
void SoundStop() { Note("SoundStop"); }
const char* SoundFailureText(SoundResult code) { return SoundErrorText(code); }

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMainLineState();
        RandomSeed.store(0);
        CurrentWorker = nullptr;
        Log.clear();
        Ring.clear();
        Answer = QuestionAnswer::No;
        ReadyAfterPolls = Polls = 0;
        DeviceRate = Rate;
        CreateDeviceResult = 0;
        Cursors = {0};
        Pass = FailingLockPass = 0;
    }

    // What run returned, or the exit code when it ended the process.
    template <typename Run>
    int ExitCode(Run run) {
        try {
            return static_cast<int>(run());
        } catch (const FakeExit& exit) {
            return exit.code;
        }
    }

    int RunAudioThread() {
        SongBytes.assign(BuiltInSong, BuiltInSong + BuiltInSongSize);
        WindowHandle = &Log;
        return ExitCode([] { return AudioThreadProc(&WindowHandle); });
    }
};

// No and a box that could not be shown keep the windowed default. The close
// protocol runs once for two requests and forgets the workers, so that the
// shutdown steps do not wait for the render thread again.
TEST_F(Shell, RunKeepsTheStartUpAndCloseOrder) {
    for (auto [answer, mode] : {std::pair{QuestionAnswer::No, "0"}, {QuestionAnswer::NotShown, "0"},
                                {QuestionAnswer::Yes, "1"}}) {
        SetUp();
        Answer = answer;
        ReadyAfterPolls = 3;
        EXPECT_EQ(ExitCode([] { return RunProgram(), -1; }), 0);
        const std::vector<std::string> expected = {
            "InitialisePlatform", "AskFullScreenQuestion",
            std::string("OpenMainWindow fullScreen=") + mode,
            "SetUpDisplay", "RaiseProcessPriority song=built-in",
            "CreateSuspendedWorker render normal &WindowHandle",
            "CreateSuspendedWorker audio aboveNormal &WindowHandle",
            "ResumeWorker audio audioReady=0", "Sleep 1", "Sleep 1", "Sleep 1",
            "ResumeWorker render audioReady=1", "RunMessageLoop",
            "WaitForWorker audio audioStop=1 renderStop=1",
            "WaitForWorker render audioStop=1 renderStop=1", "CloseWorker audio",
            "CloseWorker render",
            "RestoreDisplay", "ReleaseDisplayObjects", "ReleaseSoundObjects",
            "UnloadLibraries songBytes=0", "ExitProcessWith 0"};
        EXPECT_EQ(Log, expected);
        EXPECT_TRUE(CloseProtocolStarted());
    }
}

TEST_F(Shell, CancelEndsBeforeAnyWindowThroughTheShutdownSteps) {
    Answer = QuestionAnswer::Cancel;
    EXPECT_EQ(ExitCode([] { return RunProgram(), -1; }), 0);
    const std::vector<std::string> expected = {
        "InitialisePlatform", "AskFullScreenQuestion", "ReleaseDisplayObjects",
        "ReleaseSoundObjects", "UnloadLibraries songBytes=0", "ExitProcessWith 0"};
    EXPECT_EQ(Log, expected);
}

// A sound failure ends the program from the audio thread. During playback the
// render thread is stopped and waited for before the display objects go;
// before AudioReady it was never resumed, and waiting for it would never end;
// on the render thread itself it would wait for itself.
TEST_F(Shell, ShutdownStopsARunningRenderThreadFirst) {
    for (SoundResult code : {0, 1, 0x7FFFFFFF}) CheckSoundResult(code);
    EXPECT_TRUE(Log.empty()) << "success codes pass without a box";
    for (auto [current, ready, waits] : {std::tuple{&AudioWorker, true, true},
                                         {&AudioWorker, false, false},
                                         {&RenderWorker, true, false}}) {
        SetUp();
        RenderThreadHandle = &RenderWorker;
        AudioThreadHandle = &AudioWorker;
        CurrentWorker = current;
        AudioReady.store(ready);
        EXPECT_EQ(ExitCode([] { return CheckSoundResult(SoundResult(0x8007000E)), -1; }), 1);
        // The system's own text has an acute accent (0xB4), not an apostrophe.
        std::vector<std::string> expected = {
            "ShowErrorBox The DirectSound subsystem could not allocate sufficient memory to "
            "complete the caller\xB4s request.",
            "ReleaseDisplayObjects", "ReleaseSoundObjects", "UnloadLibraries songBytes=0",
            "ExitProcessWith 1"};
        if (waits)
            expected.insert(expected.begin() + 1, "WaitForWorker render audioStop=0 renderStop=1");
        EXPECT_EQ(Log, expected) << current->name << " ready=" << ready;
    }
}

// The whole ring before playback, then passes with the cursor at 6000, 14000,
// past the end at 2000, then not moved: each renders the bytes passed, the
// wrapped one the end before the start, and the whole is one continuous stream.
TEST_F(Shell, AudioThreadFillsThenRefillsWhatThePlayCursorPassed) {
    Cursors = {6000, 14000, 2000, 2000};
    EXPECT_EQ(RunAudioThread(), 0);
    const std::vector<std::string> expected = {
        "SoundCreateDevice", "SoundSetCooperativeLevel window", "SoundGetCaps",
        "SoundCreateBuffer 8000 16000", "SoundQueryBuffer8", "SoundLock 0 16000 entire",
        "SoundUnlock 16000 one 0", "SoundPlayLooping audioReady=1",
        "Sleep 20", "SoundPlayCursor 6000", "SoundLock 0 6000", "SoundUnlock 6000 one 0",
        "Sleep 20", "SoundPlayCursor 14000", "SoundLock 6000 8000", "SoundUnlock 8000 one 0",
        "Sleep 20", "SoundPlayCursor 2000", "SoundLock 14000 4000", "SoundUnlock 2000 two 2000",
        "Sleep 20", "SoundPlayCursor 2000", "SoundStop"};
    EXPECT_EQ(Log, expected);

    // Samples 0..8000 went into the first fill; 8000..17000 followed.
    const std::vector<std::int16_t> song = BuiltInSongSamples(Rate, 17000);
    std::vector<std::int16_t> ring(Ring.size() / 2);
    std::memcpy(ring.data(), Ring.data(), Ring.size());
    EXPECT_TRUE(std::equal(ring.begin(), ring.begin() + 1000, song.begin() + 16000));
    EXPECT_TRUE(std::equal(ring.begin() + 1000, ring.end(), song.begin() + 9000));
}

// A failed device, a lock failing while playing (a code without a text) and a
// rate the synthesizer cannot play: one box, then nothing but the shutdown.
TEST_F(Shell, AudioThreadFailuresShowOneBoxAndEndWithOne) {
    struct Case {
        SoundResult device;
        std::uint32_t rate;
        std::size_t failingPass, callsBefore;
        const char* box;
    };
    for (const Case& c : {Case{static_cast<SoundResult>(0x88780078), Rate, 0, 1,
                               "No sound driver is available for use."},
                          Case{0, Rate, 2, 15, "Unrecognized Error"},
                          Case{0, 0, 0, 3, "a sample rate of 0 Hz"}}) {
        SetUp();
        CreateDeviceResult = c.device;
        DeviceRate = c.rate;
        Cursors = {4000, 8000, 12000};
        FailingLockPass = c.failingPass;
        EXPECT_EQ(RunAudioThread(), 1);
        ASSERT_EQ(Log.size(), c.callsBefore + 5) << c.box;
        EXPECT_EQ(Log[c.callsBefore].rfind(std::string("ShowErrorBox ") + c.box, 0), 0u);
        EXPECT_EQ(Log.back(), "ExitProcessWith 1");
    }
}

}  // namespace
