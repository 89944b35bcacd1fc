#include "support/RecordingSoundOutput.h"

namespace velto::test {

RecordingSoundOutput::RecordingSoundOutput(platform::Clock& clock)
    : clock_(clock), timing_(platform::CreateNullSoundOutput(clock)) {}

bool RecordingSoundOutput::Play(const std::filesystem::path& file, bool loop,
                                Completion onFinished) {
    std::function<void(const std::filesystem::path&)> hook;
    {
        std::lock_guard guard(mutex_);
        hook = beforePlay_;
    }
    if (hook) {
        hook(file);
    }
    std::lock_guard guard(mutex_);
    EndOpenSegmentLocked(false);
    const uint64_t generation = ++generation_;
    // Completions run on the timing output's thread, which takes no lock of Play's.
    const bool started =
        timing_->Play(file, loop, [this, generation, onFinished = std::move(onFinished)] {
            {
                std::lock_guard ended(mutex_);
                if (generation == generation_) {
                    EndOpenSegmentLocked(true);
                }
            }
            if (onFinished) {
                onFinished();
            }
        });
    if (started) {
        segments_.push_back(Segment{file, loop, clock_.Now(), std::nullopt, false});
    }
    return started;
}

void RecordingSoundOutput::Stop() {
    std::lock_guard guard(mutex_);
    ++generation_;
    EndOpenSegmentLocked(false);
    timing_->Stop();
}

bool RecordingSoundOutput::IsPlaying() const {
    return timing_->IsPlaying();
}

std::vector<RecordingSoundOutput::Segment> RecordingSoundOutput::Segments() const {
    std::lock_guard guard(mutex_);
    return segments_;
}

void RecordingSoundOutput::SetBeforePlay(std::function<void(const std::filesystem::path&)> hook) {
    std::lock_guard guard(mutex_);
    beforePlay_ = std::move(hook);
}

void RecordingSoundOutput::EndOpenSegmentLocked(bool completed) {
    if (!segments_.empty() && !segments_.back().end) {
        segments_.back().end = clock_.Now();
        segments_.back().completed = completed;
    }
}

}  // namespace velto::test
