#include "platform/MessageLoop.h"

#include <algorithm>

namespace velto::platform {

MessageLoop::MessageLoop(Clock& clock)
    : clock_(clock), owner_(std::this_thread::get_id()), changed_(clock) {}

MessageLoop::~MessageLoop() {
    CloseQueue(nullptr);
}

void MessageLoop::CloseQueue(const int* exitCode) {
    std::deque<Task> left;
    {
        std::lock_guard guard(mutex_);
        left.swap(tasks_);
        quit_ = true;
        if (exitCode != nullptr) {
            exitCode_ = *exitCode;
        }
    }
    changed_.NotifyAll();
    for (auto& task : left) {
        if (task.cancel) {
            task.cancel();
        }
    }
}

bool MessageLoop::Post(std::function<void()> task, std::function<void()> cancel) {
    std::function<void()> hook;
    bool queued = false;
    {
        std::lock_guard guard(mutex_);
        if (!quit_) {
            tasks_.push_back(Task{std::move(task), std::move(cancel)});
            hook = wakeHook_;
            queued = true;
        }
    }
    if (!queued) {
        // Nobody will drain this queue again: a sender waiting for the answer must learn
        // so now, not when the loop object goes.
        if (cancel) {
            cancel();
        }
        return false;
    }
    changed_.NotifyAll();
    if (hook) {
        hook();
    }
    return true;
}

void MessageLoop::SetWakeHook(std::function<void()> hook) {
    std::lock_guard guard(mutex_);
    wakeHook_ = std::move(hook);
}

bool MessageLoop::RunNextLocked(std::unique_lock<std::mutex>& lock) {
    if (tasks_.empty()) {
        return false;
    }
    Task task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task.run();
    lock.lock();
    return true;
}

int MessageLoop::Run() {
    std::unique_lock lock(mutex_);
    while (!quit_) {
        changed_.Wait(lock, [&] { return quit_ || !tasks_.empty(); });
        if (!quit_) {
            RunNextLocked(lock);
        }
    }
    return exitCode_;
}

void MessageLoop::Quit(int exitCode) {
    CloseQueue(&exitCode);
}

bool MessageLoop::QuitRequested() const {
    std::lock_guard guard(mutex_);
    return quit_;
}

int MessageLoop::ProcessPending() {
    std::unique_lock lock(mutex_);
    // Only what is queued now: tasks posted by these tasks wait for the next call.
    size_t count = tasks_.size();
    int ran = 0;
    while (count-- > 0 && RunNextLocked(lock)) {
        ++ran;
    }
    return ran;
}

bool MessageLoop::RunUntil(const std::function<bool()>& pred, Millis timeout, Millis poll) {
    const Millis deadline = clock_.Now() + timeout;
    for (;;) {
        ProcessPending();
        if (pred()) {
            return true;
        }
        const Millis now = clock_.Now();
        if (now >= deadline) {
            return false;
        }
        // pred() may also turn true through other threads without a post: look again
        // every `poll`. A quit loop gets no tasks, so this is a plain wait then.
        std::unique_lock lock(mutex_);
        changed_.WaitUntil(lock, std::min(deadline, now + poll), [&] { return !tasks_.empty(); });
    }
}

}  // namespace velto::platform
