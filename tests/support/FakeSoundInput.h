#pragma once

#include <mutex>
#include <vector>

#include "platform/Clock.h"
#include "platform/SoundInput.h"

namespace velto::test {

// A microphone the test speaks into: Say hands a block to the capture on the calling
// thread, when one runs. Without a device it refuses to start, as a machine without a
// microphone does.
class FakeSoundInput final : public platform::SoundInput {
  public:
    FakeSoundInput(platform::Clock& clock, bool device = true) : device_(device), changed_(clock) {}

    bool HasDevice() const override;
    // The microphone is plugged in or pulled out.
    void SetDevice(bool device);
    platform::InputStart Start(Sink sink) override;
    void Stop() override;
    const char* Name() const override { return "fake"; }

    // Hands `samples` to the running capture; false when none runs.
    bool Say(const std::vector<int16_t>& samples);
    bool Capturing() const;
    int starts() const;
    // Waits on the clock (at most `limit`) until no capture runs; false on time-out.
    bool WaitUntilStopped(platform::Millis limit);

  private:
    bool device_;  // under mutex_
    mutable std::mutex mutex_;
    platform::ClockCondition changed_;
    Sink sink_;
    int starts_ = 0;
};

}  // namespace velto::test
