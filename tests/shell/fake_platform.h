#pragma once
// A recording stand-in for the window system, the threads and the sound
// device, so that the portable main line can be run and its order checked
// without a display. Every call is written to FakeLog as one line.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/shell_platform.h"
#include "shell/sound_platform.h"

// Thrown by ExitProcessWith instead of ending the process.
struct FakeExit {
    int code;
};

struct FakeSoundScript {
    std::uint32_t sampleRate = 8000;
    std::vector<std::uint32_t> playCursors;  // one per streaming pass
    SoundResult createDeviceResult = 0;
    int failingLockPass = -1;               // streaming pass (from 1) whose lock fails with -7
};

extern std::vector<std::string> FakeLog;
extern QuestionAnswer FakeAnswer;
extern FakeSoundScript FakeSound;
extern std::vector<std::uint8_t> FakeRing;  // the looping buffer
extern int FakeAudioReadyAfterPolls;        // polls of AudioReady before the audio side is ready
extern bool FakeCurrentIsAudioWorker;       // IsCurrentWorker answers for the audio handle

// Everything back to a fresh process.
void ResetFake();

// Index of the first log line equal to line, or -1.
int FakeLogIndex(const std::string& line);
