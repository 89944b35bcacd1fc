#include "calls/LocalRinger.h"

namespace velto::calls {

void LocalRinger::Start(const std::filesystem::path& file) {
    std::lock_guard guard(mutex_);
    if (ringing_++ == 0) {
        output_.Play(file, true);
    }
}

void LocalRinger::Stop() {
    std::lock_guard guard(mutex_);
    if (ringing_ > 0 && --ringing_ == 0) {
        output_.Stop();
    }
}

int LocalRinger::ringing() const {
    std::lock_guard guard(mutex_);
    return ringing_;
}

}  // namespace velto::calls
