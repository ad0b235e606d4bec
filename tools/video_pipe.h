#pragma once
// The show as a video: ffmpeg reads the raw frames on its standard input and
// the sound on an inherited pipe (its descriptor 3), written by a thread of
// its own so that neither pipe can hold up the other, and writes an MP4
// (H.264 High yuv420p, AAC) to a temporary name that is renamed when all went well.
#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "output_file.h"

struct VideoPipe {
    OutputFile Output;  // ffmpeg writes the temporary file by name
    pid_t Pid = -1;
    int FrameFd = -1;  // our end of ffmpeg's standard input
    int SoundFd = -1;  // our end of ffmpeg's descriptor 3

    std::mutex Lock;
    std::condition_variable Changed;
    std::vector<std::uint8_t> SoundWaiting;  // little-endian samples not yet written
    bool SoundClosed = false;
    std::string SoundError;
    std::thread SoundWriter;
};

// Chosen by measuring decoded frames against the PNG files: see README.md.
constexpr const char* VideoPreset = "slow";
constexpr int VideoQuality = 10;  // x264's constant rate factor
// AAC above this does not change the file; below it, the decoded sound strays
// further from the samples and overshoots more, towards clipping.
constexpr const char* VideoSoundBitRate = "256k";

struct VideoFormat {
    std::int32_t Width = 0, Height = 0;  // even
    std::int64_t FramePeriod = 0;        // microseconds
    std::uint32_t SampleRate = 0;
};

// Where `name` is found on PATH, or "" when it is not there.
std::string FindOnPath(const std::string& name);

// ffmpeg's command line (without the program name) for writing `path`.
std::vector<std::string> FfmpegArguments(const VideoFormat& format, const std::string& path);

// Creates the temporary file next to `path` and starts ffmpeg on it.
std::string StartVideo(VideoPipe& video, const std::string& path, const VideoFormat& format);

// One frame as planar yuv420p (FrameToYuv420).
std::string WriteVideoFrame(VideoPipe& video, std::span<const std::uint8_t> samples);

// Hands samples to the sound thread; never waits for ffmpeg.
void QueueVideoSound(VideoPipe& video, std::span<const std::int16_t> samples);

// Ends both streams and waits for ffmpeg; "" when it wrote the file.
std::string FinishVideo(VideoPipe& video);

std::string CommitVideo(VideoPipe& video);

// Stops ffmpeg if it still runs and removes the temporary file.
void DiscardVideo(VideoPipe& video);
