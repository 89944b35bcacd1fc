#include "calls/RecordingEcho.h"

#include <string>

#include "platform/Trace.h"

namespace velto::calls {

namespace {

// How much of what was recorded before listening began is played.
constexpr size_t kJoinMs = 1500;

}  // namespace

RecordingEcho::RecordingEcho(std::unique_ptr<platform::SoundStream> voice)
    : voice_(std::move(voice)) {}

void RecordingEcho::Pump(const std::filesystem::path& recording) {
    std::string error;
    const bool first = reader_.SampleRate() == 0;
    if (recording.empty() || !reader_.Read(recording, true, pending_, error)) {
        if (!error.empty() && !complained_) {
            complained_ = true;  // the recording's first moments have no header yet: once
            platform::Trace("Screening: listening waits for the recording: %s\n", error.c_str());
        }
        return;
    }
    if (first && pending_.size() > reader_.SampleRate() * kJoinMs / 1000) {
        // The speaker joins the caller now, not at the message's start; the recording's
        // header may come a second late, so what came just before is kept.
        pending_.erase(
            pending_.begin(),
            pending_.end() - static_cast<std::ptrdiff_t>(reader_.SampleRate() * kJoinMs / 1000));
    }
    if (pending_.empty()) {
        return;
    }
    if (voice_->Write(pending_, reader_.SampleRate())) {
        played_ += pending_.size();
    }
    pending_.clear();
}

}  // namespace velto::calls
