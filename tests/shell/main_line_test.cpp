// The portable main line, its close protocol, its shutdown steps and the
// audio thread, run on a recording platform: every platform call is one line
// of its log, so that whole orders are compared, error paths included, without a
// display or a sound device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

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

// What the platform answers and what it was given; a fresh one for every case.
struct FakeState {
    std::vector<std::string> log;
    std::vector<std::uint8_t> ring;         // the looping sound buffer
    const WorkerThread* current = nullptr;  // the thread the code under test runs on
    QuestionAnswer answer = QuestionAnswer::No;
    int readyAfterPolls = 0, polls = 0;  // polls of AudioReady before the audio side is ready
    std::uint32_t deviceRate = Rate;
    SoundResult createDeviceResult = 0;
    std::vector<std::uint32_t> cursors = {0};  // one per streaming pass; the last asks to stop
    std::size_t pass = 0, failingLockPass = 0;  // streaming pass (from 1) whose lock fails with -7
} Fake;

// One line of the log; 0 is also what the sound calls return for success.
SoundResult Note(const std::string& line) {
    Fake.log.push_back(line);
    return 0;
}
std::string Bit(bool value) { return value ? "1" : "0"; }
std::string Number(std::uint32_t value) { return std::to_string(value); }

}  // namespace

void InitialisePlatform() { Note("InitialisePlatform"); }
QuestionAnswer AskFullScreenQuestion() {
    Note("AskFullScreenQuestion");
    return Fake.answer;
}
void OpenMainWindow() {
    Note("OpenMainWindow fullScreen=" + Bit(FullScreen));
    WindowHandle = &Fake.log;
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
         (parameter == &WindowHandle  ? " &WindowHandle"
          : parameter == &ProgramShow ? " &ProgramShow"
                                      : " other parameter"));
    return worker;
}
void ResumeWorker(WorkerThread* worker) {
    Note(std::string("ResumeWorker ") + worker->name + " audioReady=" + Bit(AudioReady));
}
void WaitForWorker(WorkerThread* worker) {
    Note(std::string("WaitForWorker ") + worker->name + " audioStop=" + Bit(AudioStopRequested) +
         " renderStop=" + Bit(ProgramShow.RenderStopRequested.load()));
}
void CloseWorker(WorkerThread* worker) { Note(std::string("CloseWorker ") + worker->name); }
bool IsCurrentWorker(const WorkerThread* worker) { return worker == Fake.current; }
void SleepMilliseconds(std::uint32_t milliseconds) {
    Note("Sleep " + Number(milliseconds));
    if (milliseconds == 1 && ++Fake.polls >= Fake.readyAfterPolls) AudioReady.store(true);
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

SoundResult SoundCreateDevice() {
    Note("SoundCreateDevice");
    return Fake.createDeviceResult;
}
SoundResult SoundSetCooperativeLevel(void* window) {
    return Note(window == WindowHandle ? "SoundSetCooperativeLevel window" : "other window");
}
SoundResult SoundGetCaps(std::uint32_t& maxSampleRate) {
    maxSampleRate = Fake.deviceRate;
    return Note("SoundGetCaps");
}
SoundResult SoundCreateBuffer(std::uint32_t sampleRate, std::uint32_t bufferBytes) {
    Fake.ring.assign(bufferBytes, 0xEE);
    return Note("SoundCreateBuffer " + Number(sampleRate) + " " + Number(bufferBytes));
}
SoundResult SoundQueryBuffer8() { return Note("SoundQueryBuffer8"); }
SoundResult SoundLock(std::uint32_t offset, std::uint32_t bytes, bool entireBuffer,
                      SoundRegions& regions) {
    Note("SoundLock " + Number(offset) + " " + Number(bytes) + (entireBuffer ? " entire" : ""));
    if (Fake.pass == Fake.failingLockPass && !entireBuffer) return -7;
    std::uint8_t* const ring = Fake.ring.data();
    const auto size = static_cast<std::uint32_t>(Fake.ring.size());
    if (entireBuffer) offset = 0, bytes = size;
    const std::uint32_t first = std::min(bytes, size - offset);
    regions = {ring + offset, first, bytes > first ? ring : nullptr, bytes - first};
    return 0;
}
SoundResult SoundUnlock(const SoundRegions& regions) {
    return Note("SoundUnlock " + Number(regions.count1) + (regions.pointer2 ? " two " : " one ") +
                Number(regions.count2));
}
void SoundPlayLooping() { Note("SoundPlayLooping audioReady=" + Bit(AudioReady)); }
std::uint32_t SoundPlayCursor() {
    const std::uint32_t cursor = Fake.cursors.at(Fake.pass++);
    if (Fake.pass == Fake.cursors.size()) AudioStopRequested.store(true);
    Note("SoundPlayCursor " + Number(cursor));
    return cursor;
}
void SoundStop() { Note("SoundStop"); }
const char* SoundFailureText(SoundResult code) { return SoundErrorText(code); }

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMainLineState();
        RandomSeed.store(0);
        Fake = {};
    }

    // The exit code when run ended the process, else what it returned (-1
    // when it returns nothing).
    template <typename Run>
    int ExitCode(Run run) {
        try {
            if constexpr (std::is_void_v<decltype(run())>) {
                run();
                return -1;
            } else {
                return static_cast<int>(run());
            }
        } catch (const FakeExit& exit) {
            return exit.code;
        }
    }

    int RunAudioThread() {
        SongBytes.assign(BuiltInSong, BuiltInSong + BuiltInSongSize);
        WindowHandle = &Fake.log;
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
        Fake.answer = answer;
        Fake.readyAfterPolls = 3;
        EXPECT_EQ(ExitCode(RunProgram), 0);
        const std::vector<std::string> expected = {
            "InitialisePlatform", "AskFullScreenQuestion",
            std::string("OpenMainWindow fullScreen=") + mode, "SetUpDisplay",
            "RaiseProcessPriority song=built-in",
            "CreateSuspendedWorker render normal &ProgramShow",
            "CreateSuspendedWorker audio aboveNormal &WindowHandle",
            "ResumeWorker audio audioReady=0", "Sleep 1", "Sleep 1", "Sleep 1",
            "ResumeWorker render audioReady=1", "RunMessageLoop",
            "WaitForWorker audio audioStop=1 renderStop=1",
            "WaitForWorker render audioStop=1 renderStop=1", "CloseWorker audio",
            "CloseWorker render", "RestoreDisplay", "ReleaseDisplayObjects",
            "ReleaseSoundObjects", "UnloadLibraries songBytes=0", "ExitProcessWith 0"};
        EXPECT_EQ(Fake.log, expected);
        EXPECT_TRUE(CloseProtocolStarted());
    }
}

TEST_F(Shell, CancelEndsBeforeAnyWindowThroughTheShutdownSteps) {
    Fake.answer = QuestionAnswer::Cancel;
    EXPECT_EQ(ExitCode(RunProgram), 0);
    const std::vector<std::string> expected = {
        "InitialisePlatform", "AskFullScreenQuestion", "ReleaseDisplayObjects",
        "ReleaseSoundObjects", "UnloadLibraries songBytes=0", "ExitProcessWith 0"};
    EXPECT_EQ(Fake.log, expected);
}

// A sound failure ends the program from the audio thread. During playback the
// render thread is stopped and waited for before the display objects go;
// before AudioReady it was never resumed, and waiting for it would never end;
// on the render thread itself it would wait for itself.
TEST_F(Shell, ShutdownStopsARunningRenderThreadFirst) {
    for (SoundResult code : {0, 1, 0x7FFFFFFF}) CheckSoundResult(code);
    EXPECT_TRUE(Fake.log.empty()) << "success codes pass without a box";
    for (auto [current, ready, waits] : {std::tuple{&AudioWorker, true, true},
                                         {&AudioWorker, false, false},
                                         {&RenderWorker, true, false}}) {
        SetUp();
        RenderThreadHandle = &RenderWorker;
        AudioThreadHandle = &AudioWorker;
        Fake.current = current;
        AudioReady.store(ready);
        EXPECT_EQ(ExitCode([] { CheckSoundResult(SoundResult(0x8007000E)); }), 1);
        // The system's own text has an acute accent (0xB4), not an apostrophe.
        std::vector<std::string> expected = {
            "ShowErrorBox The DirectSound subsystem could not allocate sufficient memory to "
            "complete the caller\xB4s request.",
            "ReleaseDisplayObjects", "ReleaseSoundObjects", "UnloadLibraries songBytes=0",
            "ExitProcessWith 1"};
        if (waits)
            expected.insert(expected.begin() + 1, "WaitForWorker render audioStop=0 renderStop=1");
        EXPECT_EQ(Fake.log, expected) << current->name << " ready=" << ready;
    }
}

// The whole ring before playback, then passes with the cursor at 6000, 14000,
// past the end at 2000, then not moved: each renders the bytes passed, the
// wrapped one the end before the start, and the whole is one continuous stream.
TEST_F(Shell, AudioThreadFillsThenRefillsWhatThePlayCursorPassed) {
    Fake.cursors = {6000, 14000, 2000, 2000};
    EXPECT_EQ(RunAudioThread(), 0);
    const std::vector<std::string> expected = {
        "SoundCreateDevice", "SoundSetCooperativeLevel window", "SoundGetCaps",
        "SoundCreateBuffer 8000 16000", "SoundQueryBuffer8", "SoundLock 0 16000 entire",
        "SoundUnlock 16000 one 0", "SoundPlayLooping audioReady=1",
        "Sleep 20", "SoundPlayCursor 6000", "SoundLock 0 6000", "SoundUnlock 6000 one 0",
        "Sleep 20", "SoundPlayCursor 14000", "SoundLock 6000 8000", "SoundUnlock 8000 one 0",
        "Sleep 20", "SoundPlayCursor 2000", "SoundLock 14000 4000", "SoundUnlock 2000 two 2000",
        "Sleep 20", "SoundPlayCursor 2000", "SoundStop"};
    EXPECT_EQ(Fake.log, expected);

    // Samples 0..8000 went into the first fill; 8000..17000 followed.
    const std::vector<std::int16_t> song = BuiltInSongSamples(Rate, 17000);
    std::vector<std::int16_t> ring(Fake.ring.size() / 2);
    std::memcpy(ring.data(), Fake.ring.data(), Fake.ring.size());
    EXPECT_TRUE(std::equal(ring.begin(), ring.begin() + 1000, song.begin() + 16000));
    EXPECT_TRUE(std::equal(ring.begin() + 1000, ring.end(), song.begin() + 9000));
}

// A failed device, a lock failing while playing (a code without a text) and a
// rate the synthesizer cannot play: one box, then nothing but the shutdown.
TEST_F(Shell, AudioThreadFailuresShowOneBoxAndEndWithOne) {
    // device result, device rate, failing lock pass, calls before the box, the box
    using Case = std::tuple<SoundResult, std::uint32_t, std::size_t, std::size_t, std::string>;
    for (auto [device, rate, failingPass, callsBefore, box] :
         {Case{SoundResult(0x88780078), Rate, 0, 1, "No sound driver is available for use."},
          {0, Rate, 2, 15, "Unrecognized Error"}, {0, 0, 0, 3, "a sample rate of 0 Hz"}}) {
        SetUp();
        Fake.createDeviceResult = device;
        Fake.deviceRate = rate;
        Fake.cursors = {4000, 8000, 12000};
        Fake.failingLockPass = failingPass;
        EXPECT_EQ(RunAudioThread(), 1);
        ASSERT_EQ(Fake.log.size(), callsBefore + 5) << box;
        EXPECT_EQ(Fake.log[callsBefore].rfind("ShowErrorBox " + box, 0), 0u);
        EXPECT_EQ(Fake.log.back(), "ExitProcessWith 1");
    }
}

}  // namespace
