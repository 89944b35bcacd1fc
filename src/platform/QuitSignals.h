#pragma once

#include <pthread.h>

#include <functional>
#include <thread>

namespace velto::platform {

// Turns SIGINT and SIGTERM into a call of `onQuit` on a thread of its own (never inside a
// signal handler), so the program can post its ordinary Quit to the message loop.
// Construct it before starting any other thread: it blocks the two signals in the
// constructing thread, and threads started later inherit that.
class QuitSignals {
  public:
    explicit QuitSignals(std::function<void(int signal)> onQuit);
    ~QuitSignals();
    // Blocks the signals in the calling thread ahead of the object, for a program that must
    // start threads first (a toolkit's): a thread that has them unblocked would die of them.
    static void BlockInThisThread();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

  private:
    std::thread thread_;
};

}  // namespace velto::platform
