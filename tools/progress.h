#pragma once
// A one-line progress bar with the time left, redrawn on stderr at most ten
// times a second, and only when stderr is a terminal.
#include <chrono>
#include <cstdint>
#include <string>

struct Progress {
    bool Enabled = false;
    std::int64_t Total = 0;
    std::chrono::steady_clock::time_point Start;
    std::chrono::steady_clock::time_point LastDrawn;
    bool Drawn = false;
};

Progress StartProgress(std::int64_t total);

// done of Total frames finished.
void ShowProgress(Progress& progress, std::int64_t done);

// Clears the bar's line, so that messages after it start on a clean line.
void EndProgress(Progress& progress);

// The bar's text for `done` of `total` with `secondsLeft` to go (negative:
// not known yet), without the carriage return.
std::string ProgressLine(std::int64_t done, std::int64_t total, double secondsLeft);
