#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>

#include "platform/Clock.h"
#include "platform/SoundOutput.h"
#include "platform/WindowManager.h"
#include "platform/Workers.h"

namespace velto::audio {

// Plays one WAV file at a time for the previews of the user interface and tells the window
// that started it, by posting core::WM_SOUND_FINISHED (first parameter: the caller's value),
// once per Play, whether the sound ran to its end or was stopped. The sound lasts as long as
// its header says; a file that cannot be measured plays nothing and is reported at once.
class SoundPlayer {
  public:
    SoundPlayer(platform::Clock& clock, platform::SoundOutput& output,
                platform::WindowManager& windows);
    // Ends the player's thread (the program's player lives as long as the process).
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts the player's thread; once.
    void Start(platform::Workers& workers);

    // Stops whatever plays (as Stop), then starts `file`, `startMs` into its sound; returns
    // at once. A window of 0 hears nothing. A later start plays a copy of the rest of the
    // file, made on the player's thread in the scratch folder and removed once the output has it.
    void Play(const std::filesystem::path& file, platform::WindowHandle notifyWindow,
              uint32_t notifyValue, uint32_t startMs = 0);
    // Returns at once when idle; otherwise stops the sound and waits until its window was
    // notified.
    void Stop();

    bool IsIdle() const;

    // Where copies for later starts go (by default the system's temporary folder).
    void SetScratchFolder(std::filesystem::path folder);

  private:
    void Run();
    // Starts the sound of `path` from `startMs` on; its play time, 0 when nothing plays.
    uint32_t StartSound(const std::filesystem::path& path, uint32_t startMs);

    platform::SoundOutput& output_;
    platform::WindowManager& windows_;

    mutable std::mutex mutex_;
    platform::ClockCondition changed_;
    // The three events of the hand-over, as flags under mutex_.
    bool start_ = false;
    bool stop_ = false;
    bool idle_ = true;
    bool quit_ = false;
    bool running_ = false;
    std::filesystem::path path_;
    uint32_t startMs_ = 0;
    std::filesystem::path scratch_;
    platform::WindowHandle notifyWindow_ = 0;
    uint32_t notifyValue_ = 0;
};

}  // namespace velto::audio
