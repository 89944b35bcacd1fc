#include "platform/PortAudioDevice.h"

#include <portaudio.h>

#include <mutex>

#include "platform/SoundLibraryGuards.h"

namespace velto::platform {

bool ProbeDefaultOutputDevice() {
    static std::mutex probing;
    std::lock_guard guard(probing);
    QuietStandardError quiet;
    [[maybe_unused]] SoundLibraryAllocations library;
    if (Pa_Initialize() != paNoError) {
        return false;
    }
    if (Pa_GetDefaultOutputDevice() == paNoDevice) {
        Pa_Terminate();
        return false;
    }
    // The device must really open, not only be listed.
    PaStream* probe = nullptr;
    if (Pa_OpenDefaultStream(&probe, 0, 1, paInt16, 16000, paFramesPerBufferUnspecified, nullptr,
                             nullptr) != paNoError) {
        Pa_Terminate();
        return false;
    }
    Pa_CloseStream(probe);
    return true;
}

}  // namespace velto::platform
