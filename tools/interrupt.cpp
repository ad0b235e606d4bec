#include "interrupt.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t Received = 0;

void Record(int signal) {
    if (Received == 0) Received = signal;
}

sigset_t HandledSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = Record;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int InterruptSignal() {
    return Received;
}

ScopedSignalBlock::ScopedSignalBlock() {
    const sigset_t set = HandledSignals();
    pthread_sigmask(SIG_BLOCK, &set, &Previous);
}

ScopedSignalBlock::~ScopedSignalBlock() {
    pthread_sigmask(SIG_SETMASK, &Previous, nullptr);
}

void EndByInterruptSignal() {
    const int signal = Received != 0 ? Received : SIGTERM;
    std::signal(signal, SIG_DFL);
    raise(signal);
    std::_Exit(128 + signal);  // only if the signal did not end the process
}
