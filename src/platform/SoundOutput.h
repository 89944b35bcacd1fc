#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/Clock.h"

namespace velto::platform {

// The file-based sound player: one voice that plays one WAV file at a time,
// asynchronously. Starting a sound ends the one before it on the same voice. Each user of
// sound (the local ringer, the preview player) opens a voice of its own, so that a preview
// and a ringing call overlap instead of cutting each other off; the sound server mixes the
// voices' streams, so the program needs no mixer or resampler of its own. Safe to use from
// any thread. Backends: a real device (PortAudio) and a null output that plays nothing but
// keeps the sound's time on the clock (tests, machines without sound).
class SoundOutput {
  public:
    // Called once when a sound that was not looping has played to its end (not when it is
    // stopped or replaced), on a thread of the backend.
    using Completion = std::function<void()>;

    virtual ~SoundOutput() = default;

    // Starts the file; false (and nothing plays) when it cannot be read or played.
    virtual bool Play(const std::filesystem::path& file, bool loop, Completion onFinished = {}) = 0;
    // Ends the current sound, if any; returns at once.
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
    // "null" or "portaudio".
    virtual const char* Name() const = 0;
};

std::unique_ptr<SoundOutput> CreateNullSoundOutput(Clock& clock);
// Nothing when no output device can be opened.
std::unique_ptr<SoundOutput> CreatePortAudioSoundOutput();
// The device backend when a device opens, else the null one.
std::unique_ptr<SoundOutput> OpenSoundOutput(Clock& clock);

}  // namespace velto::platform
