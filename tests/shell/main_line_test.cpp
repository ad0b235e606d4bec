// The portable main line, its close protocol, its shutdown steps and the
// audio thread on a recording platform. Each platform call is noted with the
// state it was made in; the cases check what the program relies on (audio
// resumed before render, render resumed only after AudioReady, one close
// protocol, the shutdown order, the fill policy) rather than every call,
// without a display or a sound device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "demo/timeline.h"
#include "shell/program.h"
#include "synth/song.h"
#include "tests/synth/song_builder.h"

struct WorkerThread {
    const char* name;
};

namespace {

constexpr std::uint32_t Rate = 8000;
WorkerThread RenderWorker{"render"}, AudioWorker{"audio"};

// What the platform answers and what it was given; a fresh one for every case.
struct FakeState {
    std::vector<std::string> log;
    std::vector<std::uint8_t> ring;         // the looping sound buffer
    SoundRegions locked;                    // what the last lock handed out
    const WorkerThread* current = nullptr;  // the thread the code under test runs on
    QuestionAnswer answer = QuestionAnswer::No;
    int readyAfterPolls = 3, polls = 0;  // polls of AudioReady before the audio side is ready
    std::uint32_t deviceRate = Rate;
    SoundResult findResult = 0;
    std::vector<std::uint32_t> cursors = {0};   // one per streaming pass; the last asks to stop
    std::size_t pass = 0, failingLockPass = 0;  // streaming pass (from 1) whose lock fails with -7
} Fake;

void Note(const std::string& line) {
    Fake.log.push_back(line);
}
std::string Flag(const char* name, bool value) {
    return std::string(" ") + name + (value ? "=1" : "=0");
}
std::size_t Count(const std::string& line) {
    return std::count(Fake.log.begin(), Fake.log.end(), line);
}
// Where the line stands; it must be there exactly once.
std::size_t At(const std::string& line) {
    EXPECT_EQ(Count(line), 1u) << line;
    return std::find(Fake.log.begin(), Fake.log.end(), line) - Fake.log.begin();
}
// Where the first line that starts with prefix stands; the log's size if none does.
std::size_t Find(const std::string& prefix) {
    const auto line = [&](const std::string& l) { return l.rfind(prefix, 0) == 0; };
    return std::find_if(Fake.log.begin(), Fake.log.end(), line) - Fake.log.begin();
}
// The lines before, then the shutdown steps in their order (the song freed
// before the libraries go) and the exit.
std::vector<std::string> ThenShutdown(std::vector<std::string> before, int exitCode) {
    for (const char* step : {"release display", "sound close", "unload"}) before.push_back(step);
    before.push_back("exit " + std::to_string(exitCode));
    return before;
}
// The log from line `from` on.
std::vector<std::string> From(std::size_t from) {
    return {Fake.log.begin() + std::min(from, Fake.log.size()), Fake.log.end()};
}

}  // namespace

void InitialisePlatform() {
    Note("initialise");
}
QuestionAnswer AskFullScreenQuestion() {
    Note("question");
    return Fake.answer;
}
void OpenMainWindow() {
    Note("window" + Flag("fullScreen", FullScreen));
    WindowHandle = &Fake.log;
}
void SetUpDisplay() {
    Note("display");
}
void RaiseProcessPriority() {
    Note("priority");
}
// A worker is ready to run when it is given what it runs on (the render
// thread the program's show, the audio thread the address of the stored
// window handle) and the song is in place.
WorkerThread* CreateSuspendedWorker(WorkerProc proc, void* parameter, WorkerPriority priority) {
    WorkerThread* worker = proc == RenderThreadProc ? &RenderWorker : &AudioWorker;
    const bool ready =
        parameter == (worker == &RenderWorker ? static_cast<void*>(&ProgramShow) : &WindowHandle) &&
        WindowHandle && SongBytes == std::vector(BuiltInSong, BuiltInSong + BuiltInSongSize);
    Note(std::string("create ") + worker->name +
         (priority == WorkerPriority::AboveNormal ? " aboveNormal" : " normal") +
         (ready ? "" : " unprepared"));
    return worker;
}
void ResumeWorker(WorkerThread* worker) {
    Note(std::string("resume ") + worker->name + Flag("audioReady", AudioReady));
}
void WaitForWorker(WorkerThread* worker) {
    Note(std::string("wait ") + worker->name + Flag("audioStop", AudioStopRequested) +
         Flag("renderStop", ProgramShow.RenderStopRequested.load()));
}
void CloseWorker(WorkerThread* worker) {
    Note(std::string("close ") + worker->name);
}
bool IsCurrentWorker(const WorkerThread* worker) {
    return worker == Fake.current;
}
void SleepMilliseconds(std::uint32_t milliseconds) {
    Note("sleep " + std::to_string(milliseconds));
    if (milliseconds == 1 && ++Fake.polls >= Fake.readyAfterPolls) AudioReady.store(true);
}
void RunMessageLoop() {
    Note("loop");
    RunCloseProtocol();
    RunCloseProtocol();  // a second request still queued
}
void RestoreDisplay() {
    Note("restore display");
}
void ReleaseDisplayObjects() {
    Note("release display");
}
void UnloadLibraries() {
    Note(SongBytes.empty() ? "unload" : "unload, the song still held");
}
void ExitProcessWith(int exitCode) {
    Note("exit " + std::to_string(exitCode));
    throw exitCode;  // instead of ending the process
}
void ShowErrorBox(const char* text) {
    Note(std::string("box ") + text);
}

SoundResult SoundFindDevice(void* window, std::uint32_t& sampleRate) {
    Note(window == WindowHandle ? "find device" : "find device, other window");
    sampleRate = Fake.deviceRate;
    return Fake.findResult;
}
SoundResult SoundOpen(std::uint32_t sampleRate, std::uint32_t bufferBytes) {
    Fake.ring.assign(bufferBytes, 0xEE);
    Note("open " + std::to_string(sampleRate) + " " + std::to_string(bufferBytes));
    return 0;
}
SoundResult SoundLock(std::uint32_t offset, std::uint32_t bytes, SoundRegions& regions) {
    Note("lock" + Flag("audioReady", AudioReady));
    if (Fake.pass == Fake.failingLockPass && Fake.pass > 0) return -7;
    const auto first = std::min<std::uint32_t>(bytes, Fake.ring.size() - offset);
    regions =
        Fake.locked = {&Fake.ring[offset], first, bytes > first ? Fake.ring.data() : nullptr, bytes - first};
    return 0;
}
SoundResult SoundUnlock(const SoundRegions& r) {
    const SoundRegions& l = Fake.locked;
    const bool same =
        r.pointer1 == l.pointer1 && r.count1 == l.count1 && r.pointer2 == l.pointer2 && r.count2 == l.count2;
    Note(same ? "unlock" : "unlock, other regions");
    return 0;
}
void SoundPlayLooping() {
    Note("play" + Flag("audioReady", AudioReady));
}
std::uint32_t SoundPlayCursor() {
    const std::uint32_t cursor = Fake.cursors.at(Fake.pass++);
    if (Fake.pass == Fake.cursors.size()) AudioStopRequested.store(true);
    return cursor;
}
void SoundStop() {
    Note("stop");
}
void SoundClose() {
    Note("sound close");
}
const char* SoundFailureText(SoundResult code) {
    static std::string text;
    return (text = "failure " + std::to_string(code)).c_str();
}

namespace {

void Fresh() {
    ResetMainLineState();
    RandomSeed.store(0);
    Fake = {};
}

// The exit code when run ended the process, -1 when it returned.
int ExitCode(void (*run)()) {
    try {
        run();
        return -1;
    } catch (int exitCode) {
        return exitCode;
    }
}

// The audio thread as the main line starts it: the song in place, the window
// stored, the render thread created and waiting.
int RunAudioThread() {
    SongBytes.assign(BuiltInSong, BuiltInSong + BuiltInSongSize);
    WindowHandle = &Fake.log;
    RenderThreadHandle = &RenderWorker;
    return ExitCode([] { AudioThreadProc(&WindowHandle); });
}

// No and a box that could not be shown keep the windowed default; Cancel ends
// before any window, through the shutdown steps.
TEST(Shell, StartsAudioFirstAndClosesOnce) {
    for (auto [answer, fullScreen] : {std::pair{QuestionAnswer::No, false},
                                      {QuestionAnswer::NotShown, false},
                                      {QuestionAnswer::Yes, true},
                                      {QuestionAnswer::Cancel, false}}) {
        Fresh();
        Fake.answer = answer;
        EXPECT_EQ(ExitCode(RunProgram), 0);
        if (answer == QuestionAnswer::Cancel) {
            EXPECT_EQ(Fake.log, ThenShutdown({"initialise", "question"}, 0));
            continue;
        }
        EXPECT_LT(At("window" + Flag("fullScreen", fullScreen)), At("display"));
        EXPECT_LT(At("display"), At("create render normal"));
        EXPECT_LT(At("priority"), At("resume audio audioReady=0"));
        EXPECT_LT(At("create audio aboveNormal"), At("resume audio audioReady=0"));
        // The render clock starts only once the music is in the buffer.
        EXPECT_LT(At("resume audio audioReady=0"), At("resume render audioReady=1"));
        EXPECT_LT(At("resume render audioReady=1"), At("loop"));

        // Two close requests, one protocol: both flags up before the audio
        // thread is waited for, then the render thread, both closed, the
        // display given back; the shutdown steps do not wait again.
        const std::size_t audioWait = At("wait audio audioStop=1 renderStop=1");
        EXPECT_LT(At("loop"), audioWait);
        EXPECT_EQ(From(audioWait + 1), ThenShutdown({"wait render audioStop=1 renderStop=1", "close audio",
                                                     "close render", "restore display"},
                                                    0));
        EXPECT_TRUE(CloseProtocolStarted());
    }
}

// The whole ring before playback, then passes with the cursor at 6000, 14000,
// past the end at 2000, then not moved: each renders the bytes passed, the
// wrapped one the end before the start, and the whole is one continuous stream.
// The device answers with a success code other than 0.
TEST(Shell, AudioThreadFillsThenRefillsWhatThePlayCursorPassed) {
    Fresh();
    Fake.findResult = 0x7FFFFFFF;
    Fake.cursors = {6000, 14000, 2000, 2000};
    EXPECT_EQ(RunAudioThread(), -1);
    // One second at the device's rate, filled whole before AudioReady and
    // playback.
    EXPECT_EQ(std::vector<std::string>(Fake.log.begin(), Fake.log.begin() + 5),
              (std::vector<std::string>{"find device", "open 8000 16000", "lock audioReady=0", "unlock",
                                        "play audioReady=1"}));
    // A pass every 20 ms, a lock only where the cursor moved, each region
    // handed back as locked; the stop request is seen at the end of its pass.
    EXPECT_EQ(Count("sleep 20"), 4u);
    EXPECT_EQ(Count("lock audioReady=1"), 3u);
    EXPECT_EQ(Count("unlock"), 4u);
    EXPECT_EQ(Fake.pass, 4u);
    EXPECT_EQ(Fake.log.back(), "stop");

    // Samples 0..8000 went into the first fill; 8000..17000 followed.
    const std::vector<std::int16_t> song = BuiltInSongSamples(Rate, 17000);
    std::vector<std::int16_t> ring(Fake.ring.size() / 2);
    ASSERT_EQ(ring.size(), Rate);
    std::memcpy(ring.data(), Fake.ring.data(), Fake.ring.size());
    EXPECT_TRUE(std::equal(ring.begin(), ring.begin() + 1000, song.begin() + 16000));
    EXPECT_TRUE(std::equal(ring.begin() + 1000, ring.end(), song.begin() + 9000));
}

// A failed device, a lock failing while playing and a rate the synthesizer
// cannot play (found before any buffer is opened): one box, then nothing but
// the shutdown steps. During playback the render thread is stopped and waited
// for before the display objects go; before AudioReady it was never resumed,
// and waiting for it would never end; a failure met on the render thread
// itself would wait for itself.
TEST(Shell, SoundFailuresShowOneBoxThenStopRenderingAndShutDown) {
    using Case = std::tuple<SoundResult, std::uint32_t, std::size_t, const WorkerThread*, bool, std::string>;
    for (auto [find, rate, failingPass, current, waits, box] :
         {Case{-5, Rate, 0, &AudioWorker, false, "failure -5"},
          {0, Rate, 2, &AudioWorker, true, "failure -7"},
          {0, Rate, 2, &RenderWorker, false, "failure -7"},
          {0, 0, 0, &AudioWorker, false, "a sample rate of 0 Hz"}}) {
        Fresh();
        Fake.findResult = find;
        Fake.deviceRate = rate;
        Fake.current = current;
        Fake.cursors = {4000, 8000, 12000};
        Fake.failingLockPass = failingPass;
        EXPECT_EQ(RunAudioThread(), 1);
        std::vector<std::string> after;
        if (waits) after.push_back("wait render audioStop=0 renderStop=1");
        EXPECT_EQ(From(Find("box " + box) + 1), ThenShutdown(after, 1)) << box << " on " << current->name;
        EXPECT_EQ(Find("open ") < Fake.log.size(), failingPass > 0) << box;
    }
}

}  // namespace
