#include "backends/sim/CallRecorder.h"

#include <cmath>
#include <numbers>

namespace velto::skype::sim {

void CallerVoice::TalkFor(platform::Millis span) {
    talkSamples_ = static_cast<uint64_t>(span.count()) * (WavWriter::kSampleRate / 1000);
}

int16_t CallerVoice::SampleAt(uint64_t index) const {
    if (index >= talkSamples_) {
        return 0;
    }
    if (IsGenerated()) {
        constexpr uint64_t kSyllable = WavWriter::kSampleRate / 2;  // 500 ms
        if (index % kSyllable >= kSyllable * 4 / 5) {
            return 0;
        }
        constexpr double kStep = 2 * std::numbers::pi * 440.0 / WavWriter::kSampleRate;
        return static_cast<int16_t>(
            std::lround(6000.0 * std::sin(kStep * static_cast<double>(index % 16000))));
    }
    return (*samples_)[index % samples_->size()];
}

bool CallRecorder::Start(platform::Millis now, std::string* error) {
    until_ = now;
    return writer_.Open(path_, error);
}

void CallRecorder::Advance(platform::Millis now, bool live) {
    if (now <= until_) {
        return;
    }
    if (live && writer_.IsOpen()) {
        auto count =
            static_cast<uint64_t>((now - until_).count()) * (WavWriter::kSampleRate / 1000);
        std::vector<int16_t> chunk;
        chunk.reserve(static_cast<size_t>(std::min<uint64_t>(count, 16000)));
        while (count > 0) {
            chunk.clear();
            size_t n = static_cast<size_t>(std::min<uint64_t>(count, 16000));
            for (size_t i = 0; i < n; ++i) {
                chunk.push_back(voice_.SampleAt(position_++));
            }
            writer_.Append(chunk.data(), chunk.size());
            count -= n;
        }
    }
    until_ = now;
}

bool CallRecorder::Finish(platform::Millis now, bool live) {
    Advance(now, live);
    return writer_.Finish();
}

}  // namespace velto::skype::sim
