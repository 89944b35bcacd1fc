#include "calls/LocalRinger.h"

namespace velto::calls {

void LocalRinger::Start(const std::filesystem::path& file) {
    std::lock_guard guard(mutex_);
    if (ringing_++ == 0 || silenced_) {
        silenced_ = false;
        output_.Play(file, true);
    }
}

void LocalRinger::Stop() {
    std::lock_guard guard(mutex_);
    if (ringing_ > 0 && --ringing_ == 0) {
        if (!silenced_) {
            output_.Stop();
        }
        silenced_ = false;
    }
}

void LocalRinger::Silence() {
    std::lock_guard guard(mutex_);
    output_.Stop();
    silenced_ = ringing_ > 0;
}

int LocalRinger::ringing() const {
    std::lock_guard guard(mutex_);
    return ringing_;
}

}  // namespace velto::calls
