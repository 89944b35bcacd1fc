#include "calls/ToneFeeder.h"

#include <algorithm>

#include "audio/WavDuration.h"

namespace velto::calls {

using skype::DeviceKind;
using skype::DeviceSettings;

ToneFeeder::ToneFeeder(skype::Call& call, platform::Clock& clock, std::string path,
                       platform::Millis retryPause)
    : call_(call), clock_(clock), path_(std::move(path)), shortest_(retryPause) {
    // A tone that played half its length has ended as it should; one of unknown length
    // that ends has not.
    const auto length = audio::WavDurationMs(path_);
    if (length && *length > 0) {
        shortest_ = std::min(shortest_, platform::Millis(*length / 2));
    }
}

DeviceSettings ToneFeeder::Tone() const {
    return DeviceSettings{DeviceKind::File, path_, DeviceKind::File, "", DeviceKind::File, ""};
}

void ToneFeeder::Feed() {
    call_.SetDevices(DeviceSettings::All(DeviceKind::SoundCard, ""));
    armedAt_ = clock_.Now();
    call_.SetDevices(Tone());
    played_ = true;
    ++plays_;
}

void ToneFeeder::KeepPlaying() {
    retryDue_ = platform::Millis::max();
    if (call_.InputStillPlaying()) {
        return;
    }
    const platform::Millis now = clock_.Now();
    if (now < armedAt_ + shortest_) {
        retryDue_ = armedAt_ + shortest_;
        return;
    }
    armedAt_ = now;
    call_.SetInputDevice(DeviceKind::File, path_);
    played_ = true;
    ++plays_;
}

}  // namespace velto::calls
