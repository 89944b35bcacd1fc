#include <mutex>
#include <vector>

#include "platform/SoundInput.h"
#include "platform/Workers.h"

namespace velto::platform {

namespace {

// A microphone in a silent room: blocks of silence at the clock's pace, so that a
// recording made without a device lasts as long as it ran.
class NullSoundInput final : public SoundInput {
  public:
    explicit NullSoundInput(Clock& clock) : clock_(clock), changed_(clock), workers_(clock) {
        workers_.Start("null-input", [this] { Run(); });
    }

    ~NullSoundInput() override {
        {
            std::lock_guard guard(mutex_);
            quit_ = true;
        }
        changed_.NotifyAll();
        workers_.JoinAll();
    }

    bool HasDevice() const override { return true; }

    InputStart Start(Sink sink) override {
        std::lock_guard guard(mutex_);
        sink_ = std::move(sink);
        next_ = clock_.Now() + kBlock;
        ++generation_;
        changed_.NotifyAll();
        return InputStart::Started;
    }

    void Stop() override {
        std::unique_lock lock(mutex_);
        sink_ = nullptr;
        ++generation_;
        changed_.NotifyAll();
        // A block being handed over ends before Stop returns.
        changed_.Wait(lock, [&] { return !delivering_; });
    }

    const char* Name() const override { return "null"; }

  private:
    static constexpr Millis kBlock{100};

    void Run() {
        const std::vector<int16_t> silence(kInputRate * kBlock.count() / 1000, 0);
        std::unique_lock lock(mutex_);
        while (!quit_) {
            changed_.Wait(lock, [&] { return quit_ || sink_ != nullptr; });
            const uint64_t generation = generation_;
            if (quit_ || changed_.WaitUntil(lock, next_,
                                            [&] { return quit_ || generation_ != generation; })) {
                continue;
            }
            next_ += kBlock;
            Sink sink = sink_;
            delivering_ = true;
            lock.unlock();
            sink(silence);
            lock.lock();
            delivering_ = false;
            changed_.NotifyAll();
        }
    }

    Clock& clock_;
    std::mutex mutex_;
    ClockCondition changed_;
    bool quit_ = false;
    bool delivering_ = false;
    uint64_t generation_ = 0;
    Millis next_{0};
    Sink sink_;
    Workers workers_;  // last: its thread uses the members above
};

}  // namespace

std::unique_ptr<SoundInput> CreateNullSoundInput(Clock& clock) {
    return std::make_unique<NullSoundInput>(clock);
}

}  // namespace velto::platform
