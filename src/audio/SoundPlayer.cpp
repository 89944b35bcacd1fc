#include "audio/SoundPlayer.h"

#include <optional>

#include "audio/WavDuration.h"
#include "core/Messages.h"
#include "platform/Com.h"
#include "platform/Trace.h"

namespace velto::audio {

SoundPlayer::SoundPlayer(platform::Clock& clock, platform::SoundOutput& output,
                         platform::WindowManager& windows)
    : output_(output), windows_(windows), changed_(clock) {}

SoundPlayer::~SoundPlayer() {
    std::unique_lock lock(mutex_);
    quit_ = true;
    changed_.NotifyAll();
    changed_.Wait(lock, [&] { return !running_; });
}

void SoundPlayer::Start(platform::Workers& workers) {
    {
        std::lock_guard guard(mutex_);
        running_ = true;
    }
    workers.Start("SoundPlayer", [this] { Run(); });
}

void SoundPlayer::Play(const std::filesystem::path& file, platform::WindowHandle notifyWindow,
                       uint32_t notifyValue) {
    Stop();
    std::lock_guard guard(mutex_);
    notifyValue_ = notifyValue;
    notifyWindow_ = notifyWindow;
    path_ = file;
    start_ = true;
    // Busy from here on, so that a Stop right after this Play waits for its notification.
    idle_ = false;
    changed_.NotifyAll();
}

void SoundPlayer::Stop() {
    {
        std::lock_guard guard(mutex_);
        if (idle_) {
            return;
        }
    }
    output_.Stop();
    std::unique_lock lock(mutex_);
    if (idle_) {
        // The sound ended meanwhile: a stop flag set now would cut the next sound short.
        return;
    }
    stop_ = true;
    changed_.NotifyAll();
    changed_.Wait(lock, [&] { return idle_ || quit_; });
}

bool SoundPlayer::IsIdle() const {
    std::lock_guard guard(mutex_);
    return idle_;
}

void SoundPlayer::Run() {
    [[maybe_unused]] platform::ComApartment com;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.Wait(lock, [&] { return start_ || quit_; });
        if (quit_) {
            break;
        }
        start_ = false;
        const std::filesystem::path path = path_;
        lock.unlock();
        // A file that cannot be measured or played counts as a sound of no length; the
        // window is told all the same and the player stays ready for the next one.
        // (A plain number, not an optional: GCC's -O3 flow analysis mistakes an optional
        // reset inside the handler for a read of an uninitialised value.)
        uint32_t durationMs = 0;
        try {
            if (const std::optional<uint32_t> measured = WavDurationMs(path)) {
                output_.Play(path, false);
                durationMs = *measured;
            }
        } catch (const std::exception& error) {
            platform::Trace("SoundPlayer: cannot play %s: %s\n", path.c_str(), error.what());
            durationMs = 0;
        }
        lock.lock();
        changed_.WaitFor(lock, platform::Millis(durationMs), [&] { return stop_ || quit_; });
        const bool stopped = stop_;
        const platform::WindowHandle window = notifyWindow_;
        const uint32_t value = notifyValue_;
        lock.unlock();
        if (stopped) {
            // The stop may have come before the sound started.
            output_.Stop();
        }
        if (window != 0) {
            windows_.PostMessage(window, core::WM_SOUND_FINISHED, value, 0);
        }
        lock.lock();
        idle_ = true;
        stop_ = false;
        changed_.NotifyAll();
    }
    running_ = false;
    changed_.NotifyAll();
}

}  // namespace velto::audio
