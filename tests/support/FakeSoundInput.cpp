#include "support/FakeSoundInput.h"

namespace velto::test {

bool FakeSoundInput::HasDevice() const {
    std::lock_guard guard(mutex_);
    return device_;
}

void FakeSoundInput::SetDevice(bool device) {
    std::lock_guard guard(mutex_);
    device_ = device;
}

platform::InputStart FakeSoundInput::Start(Sink sink) {
    std::lock_guard guard(mutex_);
    if (!device_) {
        return platform::InputStart::NoDevice;
    }
    sink_ = std::move(sink);
    ++starts_;
    return platform::InputStart::Started;
}

void FakeSoundInput::Stop() {
    {
        std::lock_guard guard(mutex_);
        sink_ = nullptr;
    }
    changed_.NotifyAll();
}

bool FakeSoundInput::Say(const std::vector<int16_t>& samples) {
    // Under the lock, as a device's callback: once Stop returns no block arrives.
    std::lock_guard guard(mutex_);
    if (!sink_) {
        return false;
    }
    sink_(samples);
    return true;
}

bool FakeSoundInput::Capturing() const {
    std::lock_guard guard(mutex_);
    return sink_ != nullptr;
}

int FakeSoundInput::starts() const {
    std::lock_guard guard(mutex_);
    return starts_;
}

bool FakeSoundInput::WaitUntilStopped(platform::Millis limit) {
    std::unique_lock lock(mutex_);
    return changed_.WaitFor(lock, limit, [&] { return sink_ == nullptr; });
}

}  // namespace velto::test
