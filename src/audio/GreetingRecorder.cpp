#include "audio/GreetingRecorder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/PcmWavBytes.h"
#include "platform/AtomicFile.h"
#include "platform/Trace.h"

namespace velto::audio {

using platform::Millis;

GreetingRecorder::GreetingRecorder(platform::Clock& clock, platform::SoundInput& input,
                                   Millis longest)
    : clock_(clock),
      input_(input),
      longest_(longest),
      mostSamples_(static_cast<size_t>(longest.count()) * platform::kInputRate / 1000),
      changed_(clock),
      workers_(clock) {}

GreetingRecorder::~GreetingRecorder() {
    Stop();
}

platform::InputStart GreetingRecorder::Start(Changed changed) {
    Stop();
    uint64_t take = 0;
    {
        std::lock_guard guard(mutex_);
        samples_.clear();
        samples_.reserve(mostSamples_);
        level_ = 0;
        elapsed_ = Millis(0);
        onChange_ = std::move(changed);
        recording_ = true;
        startedAt_ = clock_.Now();
        take = ++take_;
    }
    const platform::InputStart started =
        input_.Start([this](std::span<const int16_t> block) { Take(block); });
    if (started != platform::InputStart::Started) {
        std::lock_guard guard(mutex_);
        recording_ = false;
        onChange_ = nullptr;
        return started;
    }
    workers_.Start("greeting-limit", [this, take] { WatchLimit(take); });
    return started;
}

void GreetingRecorder::WatchLimit(uint64_t take) {
    std::unique_lock lock(mutex_);
    const bool ended = changed_.WaitUntil(lock, startedAt_ + longest_,
                                          [&] { return !recording_ || take_ != take; });
    lock.unlock();
    if (!ended) {
        platform::Trace("Greeting: the longest take (%lld s) is reached\n",
                        static_cast<long long>(longest_.count() / 1000));
        End();
    }
}

void GreetingRecorder::Stop() {
    End();
    // The watcher ends at once now that nothing records.
    workers_.JoinAll();
}

void GreetingRecorder::End() {
    Changed changed;
    {
        std::lock_guard guard(mutex_);
        if (!recording_) {
            return;
        }
        recording_ = false;
        elapsed_ = std::min(clock_.Now() - startedAt_, longest_);
        level_ = 0;
        changed = std::move(onChange_);
        onChange_ = nullptr;
    }
    changed_.NotifyAll();
    // Outside the lock: the input waits for a block that may be waiting for the lock.
    input_.Stop();
    if (changed) {
        changed();
    }
}

void GreetingRecorder::Take(std::span<const int16_t> block) {
    Changed changed;
    {
        std::lock_guard guard(mutex_);
        if (!recording_) {
            return;
        }
        int peak = 0;
        for (int16_t sample : block) {
            peak = std::max(peak, std::abs(int{sample}));
        }
        level_ = peak / 32768.0;
        // The clock ends the take; a device that runs fast does not make it longer.
        const size_t room = mostSamples_ - samples_.size();
        samples_.insert(samples_.end(), block.begin(),
                        block.begin() + static_cast<std::ptrdiff_t>(std::min(room, block.size())));
        changed = onChange_;
    }
    if (changed) {
        changed();
    }
}

bool GreetingRecorder::Recording() const {
    std::lock_guard guard(mutex_);
    return recording_;
}

Millis GreetingRecorder::Elapsed() const {
    std::lock_guard guard(mutex_);
    return recording_ ? std::min(clock_.Now() - startedAt_, longest_) : elapsed_;
}

double GreetingRecorder::Level() const {
    std::lock_guard guard(mutex_);
    return level_;
}

bool GreetingRecorder::HasTake() const {
    std::lock_guard guard(mutex_);
    return !recording_ && !samples_.empty();
}

std::string GreetingRecorder::TakeWav() const {
    std::lock_guard guard(mutex_);
    if (recording_ || samples_.empty()) {
        return {};
    }
    return PcmWavBytes({platform::kInputRate, 1}, samples_);
}

std::string GreetingRecorder::Save(const std::filesystem::path& target) const {
    const std::string wav = TakeWav();
    if (wav.empty()) {
        return "nothing recorded";
    }
    if (const int error = platform::WriteFileAtomically(target, wav, 0644); error != 0) {
        return std::strerror(error);
    }
    return {};
}

}  // namespace velto::audio
