#pragma once

#include <QObject>
#include <atomic>
#include <exception>

#include "platform/MessageLoop.h"

namespace velto::ui {

// Lets Qt's event loop drive the platform message loop of the UI thread: every Post wakes
// Qt with one queued drain (no polling timer), and a drain runs what the loop holds. A
// drain never runs inside another: a task that opens a modal dialog or a message box runs
// Qt's loop nested, and the tasks posted meanwhile wait until that task has returned.
class QtLoopBridge final : public QObject {
    Q_OBJECT
  public:
    // On the UI thread, which owns `loop` and the QApplication.
    explicit QtLoopBridge(platform::MessageLoop& loop);
    ~QtLoopBridge() override;
    QtLoopBridge(const QtLoopBridge&) = delete;
    QtLoopBridge& operator=(const QtLoopBridge&) = delete;

    // Runs Qt's loop until the platform loop quits. An exception thrown by a task (a
    // core::ProcessExit) ends Qt's loop and is thrown again from here.
    void Exec();

    // How many drains have run (benchmarks count the UI thread's wake-ups).
    long drains() const { return drains_.load(); }

  private:
    void Wake();
    void Drain();

    platform::MessageLoop& loop_;
    std::atomic<bool> queued_{false};
    std::atomic<long> drains_{0};
    bool draining_ = false;
    bool again_ = false;
    std::exception_ptr error_;
};

}  // namespace velto::ui
