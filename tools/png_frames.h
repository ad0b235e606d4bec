#pragma once
// PNG frames written by helper threads while the show goes on. Finished
// frames wait in a bounded queue; the files go to a hidden staging
// directory inside the target directory and are moved to their names only
// when the whole capture has succeeded, so a failed or interrupted capture
// leaves no frames behind.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "raster/colour.h"

struct PngFrameJob {
    std::int64_t Frame = 0;
    std::vector<Colour32> Pixels;
};

struct PngFrames {
    std::string Dir;
    std::string StagingDir;
    bool CreatedDir = false;  // the directory did not exist before
    int Width = 0, Height = 0;

    std::mutex Lock;
    std::condition_variable Changed;
    std::deque<PngFrameJob> Waiting;  // frames to encode, oldest first
    std::vector<PngFrameJob> Spare;   // buffers free for new frames
    std::vector<std::string> Names;   // files in the staging directory
    std::string Error;                // the first failure
    bool Closing = false;
    std::vector<std::thread> Workers;
};

// "frame-00042.png"
std::string PngFrameName(std::int64_t frame);

// Makes the directory if it does not exist (one level), the staging
// directory in it, and starts `threads` encoders with `queueLength` frame
// buffers between them and the caller. Returns "" or the problem.
std::string StartPngFrames(PngFrames& frames, const std::string& dir, int width, int height, int threads,
                           int queueLength, int level);

// Copies the pixels (width x height, row after row) for encoding; waits
// while every buffer is taken. Returns "" or an encoder's failure.
std::string QueuePngFrame(PngFrames& frames, std::int64_t frame, const Colour32* pixels);

// Waits until every queued frame is written and the encoders have ended.
std::string FinishPngFrames(PngFrames& frames);

// Moves the finished files to their names (an existing frame's permission
// bits are kept) and removes the staging directory. When a move fails, the
// frames not yet moved stay in Names.
std::string CommitPngFrames(PngFrames& frames);

// Stops the encoders and removes everything made so far.
void DiscardPngFrames(PngFrames& frames);
