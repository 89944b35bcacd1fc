#include "calls/RecordingEcho.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "audio/PcmWavBytes.h"
#include "platform/TempFile.h"
#include "platform/Trace.h"

namespace velto::calls {

RecordingEcho::RecordingEcho(std::unique_ptr<platform::SoundOutput> voice,
                             std::filesystem::path scratch)
    : voice_(std::move(voice)), scratch_(std::move(scratch)) {}

RecordingEcho::~RecordingEcho() {
    voice_->Stop();
}

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
    if (first) {
        pending_.clear();  // the speaker joins the caller now, not the message's start
    }
    if (pending_.empty() || voice_->IsPlaying()) {
        return;
    }
    const std::string wav = audio::PcmWavBytes({reader_.SampleRate(), 1}, pending_);
    auto file = platform::OpenTempFile(scratch_, "listen");
    if (!file) {
        platform::Trace("Screening: no room for the caller's voice in %s: %s\n", scratch_.c_str(),
                        std::strerror(errno));
        pending_.clear();
        return;
    }
    // The voice reads the whole sound as it starts: the file can go right after.
    platform::TempFileGuard guard(file->path);
    const bool written =
        ::write(file->fd, wav.data(), wav.size()) == static_cast<ssize_t>(wav.size());
    ::close(file->fd);
    if (written && voice_->Play(file->path, false)) {
        played_ += pending_.size();
    }
    pending_.clear();
}

}  // namespace velto::calls
