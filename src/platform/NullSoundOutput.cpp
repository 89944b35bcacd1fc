#include <mutex>

#include "platform/SoundOutput.h"
#include "platform/Trace.h"
#include "platform/WavFile.h"
#include "platform/Workers.h"

namespace velto::platform {

namespace {

// Plays nothing: a sound lasts its WAV data's play time on the clock, so callers see the
// same timing as with a device.
class NullSoundOutput final : public SoundOutput {
  public:
    explicit NullSoundOutput(Clock& clock) : clock_(clock), changed_(clock), workers_(clock) {
        workers_.Start("null-sound", [this] { Run(); });
    }

    ~NullSoundOutput() override {
        {
            std::lock_guard guard(mutex_);
            quit_ = true;
        }
        changed_.NotifyAll();
        workers_.JoinAll();
    }

    bool Play(const std::filesystem::path& file, bool loop, Completion onFinished) override {
        std::string error;
        const auto layout = ReadWavLayout(file, &error);
        std::lock_guard guard(mutex_);
        ++generation_;
        playing_ = false;
        if (!layout) {
            Trace("Sound output: cannot play %s: %s\n", file.c_str(), error.c_str());
            changed_.NotifyAll();
            return false;
        }
        playing_ = true;
        loop_ = loop;
        length_ = Millis(static_cast<Millis::rep>(layout->DurationMs()));
        deadline_ = clock_.Now() + length_;
        onFinished_ = std::move(onFinished);
        changed_.NotifyAll();
        return true;
    }

    void Stop() override {
        std::lock_guard guard(mutex_);
        ++generation_;
        playing_ = false;
        changed_.NotifyAll();
    }

    bool IsPlaying() const override {
        std::lock_guard guard(mutex_);
        return playing_;
    }

    const char* Name() const override { return "null"; }

  private:
    void Run() {
        std::unique_lock lock(mutex_);
        while (!quit_) {
            changed_.Wait(lock, [&] { return quit_ || playing_; });
            if (quit_) {
                break;
            }
            const uint64_t generation = generation_;
            const bool ended = !changed_.WaitUntil(
                lock, deadline_, [&] { return quit_ || generation_ != generation; });
            if (!ended) {
                continue;
            }
            // A looping sound of no length would spin; it ends instead.
            if (loop_ && length_ > Millis(0)) {
                deadline_ += length_;
                continue;
            }
            playing_ = false;
            Completion done = std::move(onFinished_);
            onFinished_ = nullptr;
            lock.unlock();
            if (done) {
                done();
            }
            lock.lock();
        }
    }

    Clock& clock_;
    mutable std::mutex mutex_;
    ClockCondition changed_;
    bool quit_ = false;
    bool playing_ = false;
    bool loop_ = false;
    uint64_t generation_ = 0;
    Millis length_{0};
    Millis deadline_{0};
    Completion onFinished_;
    Workers workers_;  // last: its thread uses the members above
};

}  // namespace

std::unique_ptr<SoundOutput> CreateNullSoundOutput(Clock& clock) {
    return std::make_unique<NullSoundOutput>(clock);
}

std::unique_ptr<SoundOutput> OpenSoundOutput(Clock& clock) {
    if (auto device = CreatePortAudioSoundOutput()) {
        return device;
    }
    Trace("Sound output: no sound device, sounds only keep time\n");
    return CreateNullSoundOutput(clock);
}

}  // namespace velto::platform
