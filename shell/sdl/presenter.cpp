// The copy of each finished frame to the screen, on a thread of its own, as
// the blits handed to display hardware run beside the program: the render
// thread hands the frame over and goes on to its sleep, and the next frame's
// lock waits until the copy is done. Otherwise every frame would also wait
// for the window system to take the frame (a round trip to the X server of
// 0.2 to 0.4 ms), and the frame rate would fall with it.
//
// Once the frame is shown, the same thread clears it for the next one, as a
// display card fills a surface with a colour beside the program. The clear
// of memory the window system has just read from the other processor is
// about 0.1 ms, which would otherwise come between the sleep and the drawing
// of every frame.
#include <pthread.h>
#include <sched.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "shell/sdl/sdl_shell.h"

namespace {

struct Presenter {
    std::mutex mutex;
    std::condition_variable changed;
    SDL_Surface* from = nullptr;     // the frame to show, while a present is pending
    SDL_Surface* to = nullptr;       // the window's framebuffer it goes to
    SDL_Surface* cleared = nullptr;  // the frame shown last, once cleared to black
    bool stopping = false;
    std::thread thread;
};

// The render thread's, from its preparation to its release.
Presenter* FramePresenter = nullptr;

void ShowFrame(SDL_Surface* from, SDL_Surface* to) {
    if (from != to) SDL_BlitSurface(from, nullptr, to, nullptr);
    SDL_UpdateWindowSurface(MainWindow);
}

void ClearShownFrame(SDL_Surface* frame) {
    ClearFrameMemory({static_cast<Colour32*>(frame->pixels), frame->pitch});
}

// A woken presenter must not take the processor from the render thread that
// woke it, which would stall the frame loop for the length of the present:
// as a batch thread it waits for a free processor instead.
void YieldToRenderThread() {
    sched_param parameters{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &parameters);
}

void RunPresenter(Presenter* presenter) {
    YieldToRenderThread();
    std::unique_lock lock(presenter->mutex);
    for (;;) {
        presenter->changed.wait(lock,
                                [presenter] { return presenter->from != nullptr || presenter->stopping; });
        if (presenter->from == nullptr) return;
        SDL_Surface* const from = presenter->from;
        SDL_Surface* const to = presenter->to;
        lock.unlock();
        ShowFrame(from, to);
        ClearShownFrame(from);
        lock.lock();
        presenter->cleared = from;
        presenter->from = nullptr;
        presenter->changed.notify_all();
    }
}

}  // namespace

// Without the thread (the system would not give one) frames are shown by the
// render thread itself.
void StartPresenter() {
    auto* presenter = new Presenter;
    try {
        presenter->thread = std::thread(RunPresenter, presenter);
    } catch (const std::system_error&) {
        delete presenter;
        return;
    }
    FramePresenter = presenter;
}

void PresentInTurn(SDL_Surface* from, SDL_Surface* to) {
    if (FramePresenter == nullptr) {
        ShowFrame(from, to);
        return;
    }
    {
        std::lock_guard lock(FramePresenter->mutex);
        FramePresenter->from = from;
        FramePresenter->to = to;
    }
    FramePresenter->changed.notify_all();
}

SDL_Surface* WaitForPresent() {
    if (FramePresenter == nullptr) return nullptr;
    std::unique_lock lock(FramePresenter->mutex);
    FramePresenter->changed.wait(lock, [] { return FramePresenter->from == nullptr; });
    SDL_Surface* const cleared = FramePresenter->cleared;
    FramePresenter->cleared = nullptr;
    return cleared;
}

void StopPresenter() {
    if (FramePresenter == nullptr) return;
    {
        std::lock_guard lock(FramePresenter->mutex);
        FramePresenter->stopping = true;
    }
    FramePresenter->changed.notify_all();
    FramePresenter->thread.join();
    delete FramePresenter;
    FramePresenter = nullptr;
}
