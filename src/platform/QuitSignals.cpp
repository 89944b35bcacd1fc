#include "platform/QuitSignals.h"

#include <signal.h>

namespace velto::platform {

namespace {

// SIGUSR2 is only ever sent by the destructor, to end the waiting thread.
sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGUSR2);
    return set;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void(int signal)> onQuit) {
    const sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    thread_ = std::thread([set, onQuit = std::move(onQuit)] {
        while (true) {
            int signal = 0;
            if (sigwait(&set, &signal) != 0 || signal == SIGUSR2) {
                return;
            }
            onQuit(signal);
        }
    });
}

void QuitSignals::BlockInThisThread() {
    const sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

QuitSignals::~QuitSignals() {
    pthread_kill(thread_.native_handle(), SIGUSR2);
    thread_.join();
}

}  // namespace velto::platform
