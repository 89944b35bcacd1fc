#include "ui/QtLoopBridge.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace velto::ui {

QtLoopBridge::QtLoopBridge(platform::MessageLoop& loop) : loop_(loop) {
    loop_.SetWakeHook([this] { Wake(); });
}

QtLoopBridge::~QtLoopBridge() {
    loop_.SetWakeHook({});
}

void QtLoopBridge::Wake() {
    // One queued drain at a time: a burst of posts costs Qt one event.
    if (!queued_.exchange(true)) {
        QMetaObject::invokeMethod(this, &QtLoopBridge::Drain, Qt::QueuedConnection);
    }
}

void QtLoopBridge::Drain() {
    queued_ = false;
    if (draining_) {
        // Inside a task's nested event loop: the outer drain picks the work up afterwards.
        again_ = true;
        return;
    }
    draining_ = true;
    ++drains_;
    try {
        loop_.ProcessPending();
    } catch (...) {
        error_ = std::current_exception();
    }
    draining_ = false;
    if (error_ || loop_.QuitRequested()) {
        // Ends Exec's loop and any dialog's loop running now (the first-start question).
        QCoreApplication::exit(0);
        return;
    }
    if (again_) {
        again_ = false;
        Wake();
    }
}

void QtLoopBridge::Exec() {
    // What was posted before the loop ran (start-up's own messages).
    Drain();
    if (!error_ && !loop_.QuitRequested()) {
        QCoreApplication::exec();
    }
    if (error_) {
        std::exception_ptr error = std::exchange(error_, nullptr);
        std::rethrow_exception(error);
    }
}

}  // namespace velto::ui
