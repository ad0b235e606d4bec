#include "progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr int BarWidth = 30;
constexpr auto RedrawInterval = std::chrono::milliseconds(100);

void WriteToTerminal(const std::string& text) {
    // A lost progress line is harmless, so a failed write is not retried.
    const ssize_t ignored = write(STDERR_FILENO, text.data(), text.size());
    (void)ignored;
}

}  // namespace

Progress StartProgress(std::int64_t total) {
    Progress progress;
    progress.Enabled = isatty(STDERR_FILENO) == 1;
    progress.Total = total;
    progress.Start = std::chrono::steady_clock::now();
    return progress;
}

std::string ProgressLine(std::int64_t done, std::int64_t total, double secondsLeft) {
    const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(fraction * BarWidth);
    std::string line(1, '[');
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(BarWidth - filled), '.');
    line.append("] ");
    char text[96];
    std::snprintf(text, sizeof text, "%3d%%  frame %lld of %lld", static_cast<int>(fraction * 100),
                  static_cast<long long>(done), static_cast<long long>(total));
    line += text;
    if (secondsLeft >= 0) {
        const long long whole = std::llround(secondsLeft);
        std::snprintf(text, sizeof text, "  %lld:%02lld left", whole / 60, whole % 60);
        line += text;
    }
    return line;
}

void ShowProgress(Progress& progress, std::int64_t done) {
    if (!progress.Enabled) return;
    const auto now = std::chrono::steady_clock::now();
    if (progress.Drawn && now - progress.LastDrawn < RedrawInterval && done < progress.Total) return;
    progress.LastDrawn = now;
    progress.Drawn = true;
    const double elapsed = std::chrono::duration<double>(now - progress.Start).count();
    const double left = done > 0 && elapsed > 0.5
                            ? elapsed * static_cast<double>(progress.Total - done) / static_cast<double>(done)
                            : -1.0;
    std::string line(1, '\r');
    line.append(ProgressLine(done, progress.Total, left)).append("\033[K");
    WriteToTerminal(line);
}

void EndProgress(Progress& progress) {
    if (progress.Enabled && progress.Drawn) WriteToTerminal("\r\033[K");
    progress.Drawn = false;
}
