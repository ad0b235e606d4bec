#pragma once
// The program's main line, its close protocol and its shutdown, written once
// for every platform. The platform is reached through shell_platform.h and
// sound_platform.h; these routines are what the platform's window handling and
// its fatal-error paths call back into.
#include <atomic>
#include <cstdint>
#include <vector>

#include "shell/shell_platform.h"
#include "shell/sound_platform.h"

// The chosen mode; false (windowed) unless the user answered Yes.
extern bool FullScreen;

// The one window, as the platform's handle. Its address is the start parameter
// of both worker threads; the handle is stored before either runs.
extern void* WindowHandle;

// The song image, copied in by the main thread before any worker runs and read
// only by the audio thread afterwards.
extern std::vector<std::uint8_t> SongBytes;

// The audio thread's handshakes, each with one writer and no data handed over
// with it. AudioReady: set by the audio thread once the whole loop is filled,
// just before playback starts; polled by the main line, which resumes the
// render thread only then. AudioStopRequested: set by the close protocol;
// polled by the audio thread once per pass.
extern std::atomic<bool> AudioReady;
extern std::atomic<bool> AudioStopRequested;

// The two workers, created suspended by the main line; waited on and closed
// by the close protocol only.
extern WorkerThread* RenderThreadHandle;
extern WorkerThread* AudioThreadHandle;

// The whole program from the start-up question to the message loop's end.
// Never returns: every way out goes through ShutdownSteps.
[[noreturn]] void RunProgram();

// The close protocol: both stop flags (audio first), wait for the audio
// thread, then for the render thread, close both, give the display back. The
// platform calls it when its window is asked to close, before the window is
// destroyed. Runs once: later requests return at once.
void RunCloseProtocol();

// True once RunCloseProtocol has been entered.
bool CloseProtocolStarted();

// Forgets that the protocol ran and which workers exist, so that one process
// can run the main line's pieces more than once (the unit tests do).
void ResetMainLineState();

// The shutdown steps: display objects, sound objects, libraries, exit. Called
// from any thread. From a worker thread while the render thread is running
// (a sound failure during playback), the render thread is stopped and waited
// for first, so that the display objects are not released under it.
[[noreturn]] void ShutdownSteps(int exitCode);

// Returns for a success (non-negative) code; for a failure shows one box with
// the platform's text for it and ends the program with exit code 1.
void CheckSoundResult(SoundResult code);

// The audio thread: sets up the sound device, fills the whole loop, raises
// AudioReady, starts playback and refills what was played every 20 ms until
// AudioStopRequested. The parameter is the address of WindowHandle.
std::uint32_t AudioThreadProc(void* parameter);
