#include "sipaccount/BoundedPasswordStore.h"

#include <mutex>
#include <optional>
#include <thread>

namespace velto::skype::sip {
namespace {

// What the calling thread and the call's thread share; the call's thread may outlive the
// caller's interest (and the store) when it does not give up after being cancelled.
struct Pending {
    explicit Pending(platform::Clock& clock) : done(clock) {}
    std::mutex mutex;
    platform::ClockCondition done;
    std::optional<PasswordOutcome> outcome;
    bool abandoned = false;
};

// How long a cancelled call may take to return before its thread is left behind.
constexpr platform::Millis kCancelGrace{500};

}  // namespace

BoundedPasswordStore::BoundedPasswordStore(std::shared_ptr<PasswordStore> inner,
                                           platform::Clock& clock, platform::Millis limit)
    : inner_(std::move(inner)), clock_(clock), limit_(limit) {}

PasswordOutcome BoundedPasswordStore::Read() {
    return Run([](PasswordStore& store) { return store.Read(); });
}

PasswordOutcome BoundedPasswordStore::Write(const std::string& password) {
    return Run([password](PasswordStore& store) { return store.Write(password); });
}

PasswordOutcome BoundedPasswordStore::Erase() {
    return Run([](PasswordStore& store) { return store.Erase(); });
}

PasswordOutcome BoundedPasswordStore::Run(std::function<PasswordOutcome(PasswordStore&)> call) {
    if (!gaveUp_.empty()) {
        return PasswordOutcome::Unavailable(gaveUp_);
    }
    auto pending = std::make_shared<Pending>(clock_);
    // Known to the clock before it starts, so that virtual time waits for it.
    clock_.AddThread();
    std::thread thread([pending, inner = inner_, call = std::move(call), &clock = clock_] {
        PasswordOutcome outcome = call(*inner);
        std::lock_guard lock(pending->mutex);
        pending->outcome = std::move(outcome);
        pending->done.NotifyAll();
        // A thread left behind must not touch the clock: it may be gone.
        if (!pending->abandoned) {
            clock.RemoveThread();
        }
    });
    const auto answered = [&] { return pending->outcome.has_value(); };
    std::unique_lock lock(pending->mutex);
    const bool inTime = pending->done.WaitFor(lock, limit_, answered);
    if (!inTime) {
        inner_->Cancel();
        if (!pending->done.WaitFor(lock, kCancelGrace, answered)) {
            pending->abandoned = true;
            clock_.RemoveThread();
        }
    }
    const bool abandoned = pending->abandoned;
    std::optional<PasswordOutcome> outcome = std::move(pending->outcome);
    lock.unlock();
    if (abandoned) {
        thread.detach();
    } else {
        platform::Clock::OutsideWait outside(clock_);
        thread.join();
    }
    if (inTime) {
        return std::move(*outcome);
    }
    gaveUp_ = "the " + inner_->Place() + " did not answer within " +
              std::to_string(limit_.count()) + " ms";
    return PasswordOutcome::Unavailable(gaveUp_);
}

}  // namespace velto::skype::sip
