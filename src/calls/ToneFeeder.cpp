#include "calls/ToneFeeder.h"

#include <algorithm>

#include "audio/WavDuration.h"

namespace velto::calls {

using skype::DeviceKind;

ToneFeeder::ToneFeeder(skype::Call& call, platform::Clock& clock, std::string path,
                       platform::Millis lead, platform::Millis rearmPoll,
                       platform::Millis unknownLength)
    : call_(call),
      clock_(clock),
      path_(std::move(path)),
      length_(unknownLength),
      lead_(0),
      rearmPoll_(rearmPoll) {
    const auto length = audio::WavDurationMs(path_);
    if (length && *length > 0) {
        length_ = platform::Millis(*length);
        lead_ = std::min(lead, length_);
    }
}

void ToneFeeder::Feed() {
    call_.SetInputDevice(DeviceKind::SoundCard, "");
    call_.SetOutputDevice(DeviceKind::SoundCard, "");
    call_.SetCaptureMicDevice(DeviceKind::SoundCard, "");
    Arm();
    call_.SetOutputDevice(DeviceKind::File, "");
    call_.SetCaptureMicDevice(DeviceKind::File, "");
}

void ToneFeeder::KeepPlaying() {
    const platform::Millis now = clock_.Now();
    if (now < nextCheck_) {
        return;
    }
    if (call_.InputStillPlaying()) {
        nextCheck_ = now + rearmPoll_;
        return;
    }
    Arm();
}

void ToneFeeder::Arm() {
    // Reckoned from before the call starts the tone, so that the end is never later than
    // the call's own.
    const platform::Millis setAt = clock_.Now();
    call_.SetInputDevice(DeviceKind::File, path_);
    played_ = true;
    ++plays_;
    nextCheck_ = setAt + length_ - lead_;
}

}  // namespace velto::calls
