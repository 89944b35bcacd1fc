#include "calls/MessageVoice.h"

#include <algorithm>

namespace velto::calls {

uint64_t MessageVoice::SilenceMs(platform::Millis now) const {
    if (!detector_) {
        return 0;
    }
    return detector_->SilenceMs() +
           static_cast<uint64_t>(std::max(now - grew_, platform::Millis(0)).count());
}

bool MessageVoice::Update(const std::filesystem::path& file, bool growing, platform::Millis now) {
    samples_.clear();
    if (file.empty()) {
        error_ = "nothing is being recorded";
        return false;
    }
    const bool read = reader_.Read(file, growing, samples_, error_);
    if (reader_.SampleRate() != 0) {
        if (!detector_) {
            detector_.emplace(reader_.SampleRate());
            grew_ = now;
        }
        const uint64_t before = detector_->JudgedMs();
        detector_->Feed(samples_);  // what was read before a failure counts too
        if (detector_->JudgedMs() > before) {
            grew_ = now;
        }
    }
    return read;
}

}  // namespace velto::calls
