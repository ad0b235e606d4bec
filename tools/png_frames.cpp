#include "png_frames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>

#include "interrupt.h"
#include "png_file.h"

namespace {

std::string Failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return Failure("cannot create " + path);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const std::string problem = Failure("cannot write " + path);
            close(fd);
            unlink(path.c_str());
            return problem;
        }
        done += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0) {
        const std::string problem = Failure("cannot write " + path);
        unlink(path.c_str());
        return problem;
    }
    return "";
}

// Takes the next job; false when the queue is closed and empty or a frame failed.
bool NextJob(PngFrames& frames, PngFrameJob& job) {
    std::unique_lock<std::mutex> hold(frames.Lock);
    frames.Changed.wait(hold,
                        [&] { return !frames.Waiting.empty() || frames.Closing || !frames.Error.empty(); });
    if (frames.Waiting.empty() || !frames.Error.empty()) return false;
    job = std::move(frames.Waiting.front());
    frames.Waiting.pop_front();
    return true;
}

void FinishJob(PngFrames& frames, PngFrameJob& job, const std::string& name, const std::string& problem) {
    std::lock_guard<std::mutex> hold(frames.Lock);
    if (problem.empty())
        frames.Names.push_back(name);
    else if (frames.Error.empty())
        frames.Error = problem;
    frames.Spare.push_back(std::move(job));
    frames.Changed.notify_all();
}

void Encode(PngFrames& frames, int level) {
    PngEncoderPtr encoder = MakePngEncoder(level);
    std::vector<std::uint8_t> file;
    PngFrameJob job;
    while (NextJob(frames, job)) {
        const std::string name = PngFrameName(job.Frame);
        EncodePng(*encoder, job.Pixels.data(), frames.Width, frames.Height, file);
        FinishJob(frames, job, name, WriteWholeFile(frames.StagingDir + "/" + name, file));
    }
}

void EncoderThread(PngFrames& frames, int level) {
    try {
        Encode(frames, level);
    } catch (const std::exception& failure) {
        std::lock_guard<std::mutex> hold(frames.Lock);
        if (frames.Error.empty()) frames.Error = failure.what();
        frames.Changed.notify_all();
    }
}

void StopEncoders(PngFrames& frames) {
    {
        std::lock_guard<std::mutex> hold(frames.Lock);
        frames.Closing = true;
    }
    frames.Changed.notify_all();
    for (std::thread& worker : frames.Workers) worker.join();
    frames.Workers.clear();
}

std::string MakeDirectories(PngFrames& frames, const std::string& dir) {
    frames.Dir = dir;
    if (mkdir(dir.c_str(), 0777) == 0)
        frames.CreatedDir = true;
    else if (errno != EEXIST)
        return Failure("cannot create the directory " + dir);
    std::string pattern = dir + "/.frames-tmp-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        const std::string problem = Failure("cannot create files in " + dir);
        if (frames.CreatedDir) rmdir(dir.c_str());
        frames.CreatedDir = false;
        return problem;
    }
    frames.StagingDir = pattern;
    return "";
}

}  // namespace

std::string PngFrameName(std::int64_t frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05lld.png", static_cast<long long>(frame));
    return name;
}

std::string StartPngFrames(PngFrames& frames, const std::string& dir, int width, int height, int threads,
                           int queueLength, int level) {
    if (std::string problem = MakeDirectories(frames, dir); !problem.empty()) return problem;
    frames.Width = width;
    frames.Height = height;
    for (int i = 0; i < queueLength; ++i)
        frames.Spare.push_back({0, std::vector<Colour32>(static_cast<std::size_t>(width) * height)});
    const ScopedSignalBlock block;  // the encoders inherit it
    for (int i = 0; i < threads; ++i) frames.Workers.emplace_back(EncoderThread, std::ref(frames), level);
    return "";
}

std::string QueuePngFrame(PngFrames& frames, std::int64_t frame, const Colour32* pixels) {
    std::unique_lock<std::mutex> hold(frames.Lock);
    frames.Changed.wait(hold, [&] { return !frames.Spare.empty() || !frames.Error.empty(); });
    if (!frames.Error.empty()) return frames.Error;
    PngFrameJob job = std::move(frames.Spare.back());
    frames.Spare.pop_back();
    hold.unlock();
    job.Frame = frame;
    std::copy(pixels, pixels + job.Pixels.size(), job.Pixels.begin());
    hold.lock();
    frames.Waiting.push_back(std::move(job));
    frames.Changed.notify_all();
    return "";
}

std::string FinishPngFrames(PngFrames& frames) {
    StopEncoders(frames);
    return frames.Error;
}

std::string CommitPngFrames(PngFrames& frames) {
    for (std::size_t moved = 0; moved < frames.Names.size(); ++moved) {
        const std::string& name = frames.Names[moved];
        const std::string from = frames.StagingDir + "/" + name, to = frames.Dir + "/" + name;
        struct stat old;
        if (lstat(to.c_str(), &old) == 0 && S_ISREG(old.st_mode)) chmod(from.c_str(), old.st_mode & 0777);
        if (std::rename(from.c_str(), to.c_str()) != 0) {
            const std::string problem = Failure("cannot move the frame to " + to);
            // The frames moved are no longer ours to remove.
            frames.Names.erase(frames.Names.begin(),
                               frames.Names.begin() + static_cast<std::ptrdiff_t>(moved));
            return problem;
        }
    }
    frames.Names.clear();
    if (rmdir(frames.StagingDir.c_str()) != 0) return Failure("cannot remove " + frames.StagingDir);
    frames.StagingDir.clear();
    frames.CreatedDir = false;
    return "";
}

void DiscardPngFrames(PngFrames& frames) {
    {
        std::lock_guard<std::mutex> hold(frames.Lock);
        frames.Waiting.clear();  // not worth encoding any more
    }
    StopEncoders(frames);
    if (frames.StagingDir.empty()) return;
    for (const std::string& name : frames.Names) std::remove((frames.StagingDir + "/" + name).c_str());
    frames.Names.clear();
    rmdir(frames.StagingDir.c_str());
    frames.StagingDir.clear();
    if (frames.CreatedDir) rmdir(frames.Dir.c_str());
    frames.CreatedDir = false;
}
