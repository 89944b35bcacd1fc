#include "server/UpdatingListThread.h"

#include <algorithm>
#include <utility>

#include "core/Messages.h"
#include "platform/Com.h"

namespace velto::server {

UpdatingListThread::UpdatingListThread(platform::Clock& clock, platform::Workers& workers,
                                       platform::WindowManager& windows,
                                       platform::InterfaceTable& table, core::SharedState& state)
    : windows_(windows), table_(table), state_(state), changed_(clock) {
    workers.Start("updating list", [this] { Run(); });
}

UpdatingListThread::~UpdatingListThread() {
    std::unique_lock lock(mutex_);
    stop_ = true;
    changed_.NotifyAll();
    changed_.Wait(lock, [this] { return ended_; });
    for (platform::Cookie cookie : pending_) {
        table_.Revoke(cookie);
    }
}

void UpdatingListThread::Add(platform::Cookie contact) {
    std::lock_guard guard(mutex_);
    pending_.push_back(contact);
    changed_.NotifyAll();
}

size_t UpdatingListThread::PendingCount() const {
    std::lock_guard guard(mutex_);
    return pending_.size();
}

std::vector<platform::Cookie> UpdatingListThread::TakeAll() {
    std::lock_guard guard(mutex_);
    return std::exchange(pending_, {});
}

void UpdatingListThread::Run() {
    [[maybe_unused]] platform::ComApartment com;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.Wait(lock, [this] { return stop_ || !pending_.empty(); });
        // Quiet period: every new notification starts it again, up to the cap.
        platform::Clock& clock = changed_.clock();
        const platform::Millis capped = clock.Now() + kBurstCap;
        size_t seen = 0;
        while (!stop_ && seen != pending_.size() && clock.Now() < capped) {
            seen = pending_.size();
            changed_.WaitUntil(lock, std::min(clock.Now() + kQuietPeriod, capped),
                               [this, seen] { return stop_ || pending_.size() != seen; });
        }
        if (stop_) {
            break;
        }
        std::vector<platform::Cookie> taken = std::exchange(pending_, {});
        lock.unlock();
        Deliver(taken);
        lock.lock();
    }
    ended_ = true;
    changed_.NotifyAll();
}

void UpdatingListThread::Deliver(const std::vector<platform::Cookie>& contacts) {
    const platform::WindowHandle mainWindow = state_.MainWindowHandle.load();
    if (contacts.size() < 2) {
        // The contact list applies the change and consumes the cookie; with no main
        // window left nobody would, so it is revoked here.
        if (!windows_.PostMessage(mainWindow, core::WM_UPDATEUSERSTATUS, contacts.front(), 1)) {
            table_.Revoke(contacts.front());
        }
        return;
    }
    windows_.PostMessage(mainWindow, core::WM_UPDATELIST, 0, 0);
    // The full refresh reads every contact afresh.
    for (platform::Cookie cookie : contacts) {
        table_.Revoke(cookie);
    }
}

}  // namespace velto::server
