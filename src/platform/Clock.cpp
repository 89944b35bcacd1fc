#include "platform/Clock.h"

namespace velto::platform {

namespace {
// Mutex and condition that nobody notifies: a plain sleep is a wait for a deadline.
struct SleepState {
    std::mutex mutex;
};
}  // namespace

void Clock::SleepFor(Millis duration) {
    SleepUntil(Now() + duration);
}

void Clock::SleepUntil(Millis deadline) {
    SleepState state;
    ClockCondition never(*this);
    std::unique_lock lock(state.mutex);
    never.WaitUntil(lock, deadline, [] { return false; });
}

Millis RealClock::Now() const {
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

WallTime RealClock::WallNow() const {
    return std::chrono::system_clock::now();
}

void RealClock::WaitOnce(ClockCondition& cond, std::unique_lock<std::mutex>& lock,
                         Millis deadline) {
    if (deadline == kForever) {
        cond.realCv_.wait(lock);
        return;
    }
    const auto when = std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(deadline));
    cond.realCv_.wait_until(lock, when);
}

void RealClock::NotifyAll(ClockCondition& cond) {
    cond.realCv_.notify_all();
}

}  // namespace velto::platform
