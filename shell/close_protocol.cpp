// The close protocol and the shutdown steps. Both may be reached from more
// than one place: the protocol from every close request the window system
// delivers, the shutdown steps from the main line, from a failed window call
// on the main thread, or from a failed sound call on the audio thread.
#include <atomic>

#include "demo/timeline.h"
#include "shell/program.h"

namespace {

std::atomic<bool> CloseProtocolEntered{false};

// A sound failure during playback ends the program from the audio thread
// while the render thread may be drawing into the display objects that the
// shutdown steps release. The render thread is resumed only once AudioReady
// is set, so it is running (or about to run) exactly when AudioReady is set;
// before that it waits for a resume that will never come and must not be
// waited for.
void StopRenderThreadBeforeRelease() {
    if (RenderThreadHandle == nullptr) return;
    if (IsCurrentWorker(RenderThreadHandle)) return;
    if (!AudioReady.load()) return;
    ProgramShow.RenderStopRequested.store(true);
    WaitForWorker(RenderThreadHandle);
}

}  // namespace

void RunCloseProtocol() {
    if (CloseProtocolEntered.exchange(true)) return;
    AudioStopRequested.store(true);
    ProgramShow.RenderStopRequested.store(true);
    if (AudioThreadHandle != nullptr) WaitForWorker(AudioThreadHandle);
    if (RenderThreadHandle != nullptr) WaitForWorker(RenderThreadHandle);
    if (AudioThreadHandle != nullptr) CloseWorker(AudioThreadHandle);
    if (RenderThreadHandle != nullptr) CloseWorker(RenderThreadHandle);
    AudioThreadHandle = nullptr;
    RenderThreadHandle = nullptr;
    RestoreDisplay();
}

bool CloseProtocolStarted() {
    return CloseProtocolEntered.load();
}

void ResetMainLineState() {
    CloseProtocolEntered.store(false);
    AudioThreadHandle = nullptr;
    RenderThreadHandle = nullptr;
    AudioReady.store(false);
    AudioStopRequested.store(false);
    ProgramShow.RenderStopRequested.store(false);
    FullScreen = false;
    WindowHandle = nullptr;
    SongBytes.clear();
}

void ShutdownSteps(int exitCode) {
    StopRenderThreadBeforeRelease();
    ReleaseDisplayObjects();
    SoundClose();
    SongBytes = {};
    UnloadLibraries();
    ExitProcessWith(exitCode);
}

void CheckSoundResult(SoundResult code) {
    if (code >= 0) return;
    ShowErrorBox(SoundFailureText(code));
    ShutdownSteps(1);
}
