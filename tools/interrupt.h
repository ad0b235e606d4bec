#pragma once
// Ctrl-C, SIGTERM and a closed terminal end a capture cleanly: the handler
// only records the signal; the capture notices it between frames (and in
// its waits), removes what it had begun, and then ends by the same signal.
#include <csignal>

// Installs the handlers for SIGINT, SIGTERM and SIGHUP (without restarting
// interrupted calls, so a wait for a child returns) and ignores SIGPIPE, so
// a reader that went away shows up as a failed write instead of a kill.
void InstallInterruptHandlers();

// The signal that asked the capture to stop, or 0.
int InterruptSignal();

// Blocks the handled signals in the calling thread (for helper threads, so
// that the signals reach the thread that checks for them) until destroyed.
struct ScopedSignalBlock {
    ScopedSignalBlock();
    ~ScopedSignalBlock();
    ScopedSignalBlock(const ScopedSignalBlock&) = delete;
    ScopedSignalBlock& operator=(const ScopedSignalBlock&) = delete;
    sigset_t Previous;
};

// After the clean-up: ends the process by the recorded signal, as if the
// handler had not been there (the exit status then says what happened).
[[noreturn]] void EndByInterruptSignal();
