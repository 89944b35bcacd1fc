#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "platform/Clock.h"

namespace velto::platform {

// What recording from the microphone gives: 16-bit mono samples at this rate, the
// telephone-rate format of every sound file the program keeps.
inline constexpr int kInputRate = 16000;

enum class InputStart {
    Started,
    NoDevice,  // the system has no input device (no microphone)
    Failed,    // a device is there but would not open (traced)
};

// The microphone: captures from the default input device in blocks, 16 kHz mono 16-bit
// (converted when the device gives something else), and hands each block to the sink on a
// thread of the backend. One capture at a time. Backends: a real device (PortAudio), a null
// input that "hears" silence at the clock's pace (tests, scenarios), and whatever a test
// makes of this interface.
class SoundInput {
  public:
    // A block of samples, on a thread of the backend; it must return quickly and must not
    // call back into the input.
    using Sink = std::function<void(std::span<const int16_t> samples)>;

    virtual ~SoundInput() = default;

    // False when there is no input device at all: recording cannot start.
    virtual bool HasDevice() const = 0;
    // Starts capturing into `sink`; anything but Started leaves the input idle.
    virtual InputStart Start(Sink sink) = 0;
    // Ends the capture; once it returns the sink is not called again. Idle: nothing.
    virtual void Stop() = 0;
    // "null" or "portaudio".
    virtual const char* Name() const = 0;
};

std::unique_ptr<SoundInput> CreateNullSoundInput(Clock& clock);
// The default input device through PortAudio; HasDevice() tells whether there is one.
std::unique_ptr<SoundInput> CreatePortAudioSoundInput();

}  // namespace velto::platform
