// Worker threads. A thread here cannot be created suspended, so each new
// thread first takes its priority (the render thread also makes its back
// buffer) and then waits at a start gate until it is resumed. Creation
// returns only once the thread is at its gate, so that what a thread sets up
// in SDL's state for the whole process, much of it kept without a lock, is
// over before the next thread starts calling SDL.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "demo/timeline.h"
#include "shell/program.h"
#include "shell/sdl/sdl_shell.h"

struct WorkerThread {
    WorkerProc proc = nullptr;
    void* parameter = nullptr;
    WorkerPriority priority = WorkerPriority::Normal;
    bool drawsFrames = false;  // the render thread owns the back buffer
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool atGate = false;
    bool resumed = false;
    bool finished = false;
    std::thread::id id;  // set by the thread itself as it starts
    std::thread thread;
};

namespace {

// Above normal is one step above the thread it was created from.
void TakePriority(WorkerPriority priority) {
    if (priority != WorkerPriority::AboveNormal) return;
    const auto self = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, self);
    if (errno == 0) setpriority(PRIO_PROCESS, self, current - 2);
}

void RunWorker(WorkerThread* worker) {
    {
        std::unique_lock lock(worker->mutex);
        worker->id = std::this_thread::get_id();
    }
    TakePriority(worker->priority);
    if (worker->drawsFrames) PrepareThreadDisplay();
    {
        std::unique_lock lock(worker->mutex);
        worker->atGate = true;
        worker->changed.notify_all();
        worker->changed.wait(lock, [worker] { return worker->resumed; });
    }
    worker->proc(worker->parameter);
    if (worker->drawsFrames) ReleaseThreadDisplay();
    {
        std::lock_guard lock(worker->mutex);
        worker->finished = true;
    }
    worker->changed.notify_all();
}

}  // namespace

WorkerThread* CreateSuspendedWorker(WorkerProc proc, void* parameter, WorkerPriority priority) {
    auto* worker = new WorkerThread;
    worker->proc = proc;
    worker->parameter = parameter;
    worker->priority = priority;
    worker->drawsFrames = proc == RenderThreadProc;
    worker->thread = std::thread(RunWorker, worker);
    std::unique_lock lock(worker->mutex);
    worker->changed.wait(lock, [worker] { return worker->atGate; });
    return worker;
}

void ResumeWorker(WorkerThread* worker) {
    {
        std::lock_guard lock(worker->mutex);
        worker->resumed = true;
    }
    worker->changed.notify_all();
}

// Any number of threads may wait; only CloseWorker joins.
void WaitForWorker(WorkerThread* worker) {
    std::unique_lock lock(worker->mutex);
    worker->changed.wait(lock, [worker] { return worker->finished; });
}

void CloseWorker(WorkerThread* worker) {
    WaitForWorker(worker);
    worker->thread.join();
    delete worker;
}

bool IsCurrentWorker(const WorkerThread* worker) {
    std::lock_guard lock(worker->mutex);
    return worker->id == std::this_thread::get_id();
}

void SleepMilliseconds(std::uint32_t milliseconds) {
    SDL_Delay(milliseconds);
}
