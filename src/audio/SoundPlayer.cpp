#include "audio/SoundPlayer.h"

#include <optional>

#include "audio/WavDuration.h"
#include "audio/WavExcerpt.h"
#include "core/Messages.h"
#include "platform/Com.h"
#include "platform/TempFile.h"
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
                       uint32_t notifyValue, uint32_t startMs) {
    Stop();
    std::lock_guard guard(mutex_);
    notifyValue_ = notifyValue;
    notifyWindow_ = notifyWindow;
    path_ = file;
    startMs_ = startMs;
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

void SoundPlayer::SetScratchFolder(std::filesystem::path folder) {
    std::lock_guard guard(mutex_);
    scratch_ = std::move(folder);
}

uint32_t SoundPlayer::StartSound(const std::filesystem::path& path, uint32_t startMs) {
    std::filesystem::path play = path;
    // The output reads the whole sound when it starts: the copy can go right after.
    std::optional<platform::TempFileGuard> copy;
    if (startMs > 0) {
        std::filesystem::path folder;
        {
            std::lock_guard guard(mutex_);
            folder = scratch_;
        }
        std::error_code ignored;
        if (folder.empty()) {
            folder = std::filesystem::temp_directory_path(ignored);
        }
        std::string error;
        const auto written = WriteWavExcerpt(path, startMs, folder, "velto-play-", error);
        if (!written) {
            platform::Trace("SoundPlayer: cannot play %s from %u ms: %s\n", path.c_str(),
                            static_cast<unsigned>(startMs), error.c_str());
            return 0;
        }
        copy.emplace(*written);
        play = *written;
    }
    const std::optional<uint32_t> measured = WavDurationMs(play);
    if (!measured) {
        return 0;
    }
    output_.Play(play, false);
    return *measured;
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
        const uint32_t startMs = startMs_;
        lock.unlock();
        // A file that cannot be measured or played counts as a sound of no length; the
        // window is told all the same and the player stays ready for the next one.
        // (A plain number, not an optional: GCC's -O3 flow analysis mistakes an optional
        // reset inside the handler for a read of an uninitialised value.)
        uint32_t durationMs = 0;
        try {
            durationMs = StartSound(path, startMs);
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
