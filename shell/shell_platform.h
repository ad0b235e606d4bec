#pragma once
// What the program's main line, its close protocol and its shutdown need from
// the window system, the display and the threads. One implementation per
// platform (shell/win32 or shell/sdl), chosen by CMake; the main line itself
// (shell/*.cpp) is written once.
#include <cstdint>

// Binds the platform's libraries before anything else runs (on Win32 the two
// DirectX libraries by name). A library or entry point that the program
// would call and that is missing is reported in one message box naming it,
// and the program ends with exit code 1.
void InitialisePlatform();

enum class QuestionAnswer { Yes, No, Cancel, NotShown };

// The start-up question "Fullscreen?" with Yes, No and Cancel, no owner
// window, empty caption. NotShown when no box could be shown.
QuestionAnswer AskFullScreenQuestion();

// Registers the window class "Brumvik", creates the window for the mode in
// FullScreen at (101, 101), sizes its client area to 800 x 600 and shows it;
// stores it in WindowHandle. A failed window-system call does not return
// (FatalSystemError).
void OpenMainWindow();

// Creates the display objects, switches the display mode in full screen (a
// failed switch ends the program with exit code 1 and no message) and clears
// the back buffer to black.
void SetUpDisplay();

void RaiseProcessPriority();

using WorkerProc = std::uint32_t (*)(void* parameter);
enum class WorkerPriority { Normal, AboveNormal };
struct WorkerThread;

// Creates a worker that does not run until ResumeWorker, then gives it its priority.
WorkerThread* CreateSuspendedWorker(WorkerProc proc, void* parameter, WorkerPriority priority);
void ResumeWorker(WorkerThread* worker);
void WaitForWorker(WorkerThread* worker);  // no time-out
void CloseWorker(WorkerThread* worker);
bool IsCurrentWorker(const WorkerThread* worker);

void SleepMilliseconds(std::uint32_t milliseconds);

// Pumps window messages until the window has been destroyed.
void RunMessageLoop();

// The display's part of the close protocol: restore the display mode and
// return to the normal cooperative level.
void RestoreDisplay();

// Shutdown steps: the display objects (back buffer, primary surface, display
// object), the sound objects (SoundClose), the libraries; then the process ends.
void ReleaseDisplayObjects();
void UnloadLibraries();
[[noreturn]] void ExitProcessWith(int exitCode);

// Shows the system's text for the last failed window-system call and ends the
// program with that error code (non-zero).
[[noreturn]] void FatalSystemError();

// A message box without owner window and with the platform's default title;
// written to stderr where no box can be shown.
void ShowErrorBox(const char* text);
