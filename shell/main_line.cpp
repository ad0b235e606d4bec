// The program from start to end on the main thread.
#include "demo/timeline.h"
#include "shell/program.h"
#include "synth/song.h"

namespace {

// Cancel ends the program before anything exists; a box that could not be
// shown leaves the windowed default.
bool AnswerMeansFullScreen(QuestionAnswer answer) {
    return answer == QuestionAnswer::Yes;
}

void CreateWorkers() {
    RenderThreadHandle = CreateSuspendedWorker(RenderThreadProc, &ProgramShow, WorkerPriority::Normal);
    AudioThreadHandle = CreateSuspendedWorker(AudioThreadProc, &WindowHandle, WorkerPriority::AboveNormal);
}

// The render clock starts only once the first second of music is in the
// buffer and playback is about to start.
void StartWorkersAudioFirst() {
    ResumeWorker(AudioThreadHandle);
    while (!AudioReady.load()) SleepMilliseconds(1);
    ResumeWorker(RenderThreadHandle);
}

}  // namespace

void RunProgram() {
    InitialisePlatform();
    const QuestionAnswer answer = AskFullScreenQuestion();
    if (answer == QuestionAnswer::Cancel) ShutdownSteps(0);
    FullScreen = AnswerMeansFullScreen(answer);
    OpenMainWindow();
    SetUpDisplay();
    SongBytes.assign(BuiltInSong, BuiltInSong + BuiltInSongSize);
    RaiseProcessPriority();
    CreateWorkers();
    StartWorkersAudioFirst();
    RunMessageLoop();
    ShutdownSteps(0);
}
