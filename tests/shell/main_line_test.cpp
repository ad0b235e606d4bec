// The main line's order, the close protocol and the shutdown steps, run on
// the recording platform.
#include <gtest/gtest.h>

#include "demo/timeline.h"
#include "fake_platform.h"
#include "shell/program.h"
#include "synth/stream.h"

namespace {

class MainLine : public ::testing::Test {
protected:
    void SetUp() override { ResetFake(); }

    int RunToExit() {
        try {
            RunProgram();
        } catch (const FakeExit& exit) {
            return exit.code;
        }
        ADD_FAILURE() << "RunProgram returned";
        return -1;
    }
};

TEST_F(MainLine, WindowedRunKeepsTheStartUpAndCloseOrder) {
    FakeAnswer = QuestionAnswer::No;
    FakeAudioReadyAfterPolls = 3;
    EXPECT_EQ(RunToExit(), 0);
    const std::vector<std::string> expected = {
        "InitialisePlatform",
        "AskFullScreenQuestion",
        "OpenMainWindow fullScreen=0",
        "SetUpDisplay",
        "RaiseProcessPriority song=built-in",
        "CreateSuspendedWorker render normal &WindowHandle",
        "CreateSuspendedWorker audio aboveNormal &WindowHandle",
        "ResumeWorker audio audioReady=0",
        "Sleep 1",
        "Sleep 1",
        "Sleep 1",
        "ResumeWorker render audioReady=1",
        "RunMessageLoop",
        "WaitForWorker audio audioStop=1 renderStop=1",
        "WaitForWorker render audioStop=1 renderStop=1",
        "CloseWorker audio",
        "CloseWorker render",
        "RestoreDisplay",
        "ReleaseDisplayObjects",
        "ReleaseSoundObjects",
        "UnloadLibraries songBytes=0",
        "ExitProcessWith 0",
    };
    EXPECT_EQ(FakeLog, expected);
    EXPECT_FALSE(FullScreen);
}

TEST_F(MainLine, AnswersChooseTheMode) {
    FakeAnswer = QuestionAnswer::Yes;
    EXPECT_EQ(RunToExit(), 0);
    EXPECT_NE(FakeLogIndex("OpenMainWindow fullScreen=1"), -1);

    ResetFake();
    FakeAnswer = QuestionAnswer::NotShown;
    EXPECT_EQ(RunToExit(), 0);
    EXPECT_NE(FakeLogIndex("OpenMainWindow fullScreen=0"), -1);
}

TEST_F(MainLine, CancelEndsBeforeAnyWindowThroughTheShutdownSteps) {
    FakeAnswer = QuestionAnswer::Cancel;
    EXPECT_EQ(RunToExit(), 0);
    const std::vector<std::string> expected = {
        "InitialisePlatform", "AskFullScreenQuestion", "ReleaseDisplayObjects", "ReleaseSoundObjects",
        "UnloadLibraries songBytes=0", "ExitProcessWith 0",
    };
    EXPECT_EQ(FakeLog, expected);
}

TEST_F(MainLine, CloseProtocolRunsOnceJoiningAudioFirst) {
    RenderThreadHandle = CreateSuspendedWorker(RenderThreadProc, &WindowHandle, WorkerPriority::Normal);
    AudioThreadHandle = CreateSuspendedWorker(AudioThreadProc, &WindowHandle, WorkerPriority::AboveNormal);
    FakeLog.clear();
    EXPECT_FALSE(CloseProtocolStarted());
    RunCloseProtocol();
    RunCloseProtocol();
    RunCloseProtocol();
    const std::vector<std::string> expected = {
        "WaitForWorker audio audioStop=1 renderStop=1",
        "WaitForWorker render audioStop=1 renderStop=1",
        "CloseWorker audio",
        "CloseWorker render",
        "RestoreDisplay",
    };
    EXPECT_EQ(FakeLog, expected);
    EXPECT_TRUE(CloseProtocolStarted());
    EXPECT_EQ(AudioThreadHandle, nullptr);
    EXPECT_EQ(RenderThreadHandle, nullptr);
}

// A sound failure on the audio thread during playback: the render thread is
// stopped and waited for before the display objects go.
TEST_F(MainLine, SoundFailureDuringPlaybackStopsTheRenderThreadFirst) {
    RenderThreadHandle = CreateSuspendedWorker(RenderThreadProc, &WindowHandle, WorkerPriority::Normal);
    AudioThreadHandle = CreateSuspendedWorker(AudioThreadProc, &WindowHandle, WorkerPriority::AboveNormal);
    AudioReady.store(true);
    FakeCurrentIsAudioWorker = true;
    FakeLog.clear();
    try {
        CheckSoundResult(static_cast<SoundResult>(0x88780096));
        FAIL() << "a failure returned";
    } catch (const FakeExit& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    const std::vector<std::string> expected = {
        "ShowErrorBox The buffer memory has been lost and must be restored.",
        "WaitForWorker render audioStop=0 renderStop=1",
        "ReleaseDisplayObjects",
        "ReleaseSoundObjects",
        "UnloadLibraries songBytes=0",
        "ExitProcessWith 1",
    };
    EXPECT_EQ(FakeLog, expected);
}

// Before AudioReady the render thread has never been resumed and never will
// be: waiting for it would never end.
TEST_F(MainLine, SoundFailureBeforePlaybackDoesNotWaitForTheSuspendedRenderThread) {
    RenderThreadHandle = CreateSuspendedWorker(RenderThreadProc, &WindowHandle, WorkerPriority::Normal);
    AudioThreadHandle = CreateSuspendedWorker(AudioThreadProc, &WindowHandle, WorkerPriority::AboveNormal);
    FakeCurrentIsAudioWorker = true;
    FakeLog.clear();
    EXPECT_THROW(CheckSoundResult(-1), FakeExit);
    EXPECT_EQ(FakeLogIndex("WaitForWorker render audioStop=0 renderStop=0"), -1);
    EXPECT_EQ(FakeLog.at(1), "ReleaseDisplayObjects");
    EXPECT_FALSE(RenderStopRequested.load());
}

TEST_F(MainLine, SuccessCodesPassWithoutABox) {
    for (SoundResult code : {0, 1, 0x7FFFFFFF}) CheckSoundResult(code);
    EXPECT_TRUE(FakeLog.empty());
}

}  // namespace
