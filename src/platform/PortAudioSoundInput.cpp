#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/InputConversion.h"
#include "platform/SoundInput.h"
#include "platform/SoundLibraryGuards.h"
#include "platform/Trace.h"

namespace velto::platform {

namespace {

// The default input device through one PortAudio stream a capture. Start and Stop run whole
// under the lock, which PortAudio's callback thread never takes: Stop can wait for the
// callback to finish without a deadlock.
class PortAudioSoundInput final : public SoundInput {
  public:
    ~PortAudioSoundInput() override {
        Stop();
        if (initialised_) {
            Pa_Terminate();
        }
    }

    bool HasDevice() const override {
        std::lock_guard guard(mutex_);
        return InitialisedLocked() && Pa_GetDefaultInputDevice() != paNoDevice;
    }

    InputStart Start(Sink sink) override {
        std::lock_guard guard(mutex_);
        StopLocked();
        const PaDeviceIndex device = InitialisedLocked() ? Pa_GetDefaultInputDevice() : paNoDevice;
        const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
        if (info == nullptr || info->maxInputChannels < 1) {
            Trace("Sound input: no input device\n");
            return InputStart::NoDevice;
        }
        [[maybe_unused]] SoundLibraryAllocations library;
        PaStreamParameters parameters{};
        parameters.device = device;
        parameters.channelCount = 1;
        parameters.sampleFormat = paInt16;
        parameters.suggestedLatency = info->defaultLowInputLatency;
        double rate = kInputRate;
        // A device that cannot give 16 kHz mono itself (a bare sound card) gives its own
        // rate and channels, which the capture converts.
        if (Pa_IsFormatSupported(&parameters, nullptr, rate) != paFormatIsSupported) {
            parameters.channelCount = std::min(info->maxInputChannels, 2);
            rate = info->defaultSampleRate;
        }
        auto capture = std::make_unique<Capture>(static_cast<int>(rate), parameters.channelCount,
                                                 std::move(sink));
        PaStream* stream = nullptr;
        PaError err =
            Pa_OpenStream(&stream, &parameters, nullptr, rate, paFramesPerBufferUnspecified,
                          paNoFlag, &PortAudioSoundInput::Take, capture.get());
        if (err == paNoError) {
            err = Pa_StartStream(stream);
            if (err != paNoError) {
                Pa_CloseStream(stream);
            }
        }
        if (err != paNoError) {
            Trace("Sound input: cannot record from %s: %s\n", info->name, Pa_GetErrorText(err));
            return InputStart::Failed;
        }
        Trace("Sound input: recording from %s at %.0f Hz, %d channel(s)\n", info->name, rate,
              parameters.channelCount);
        stream_ = stream;
        capture_ = std::move(capture);
        return InputStart::Started;
    }

    void Stop() override {
        std::lock_guard guard(mutex_);
        StopLocked();
    }

    const char* Name() const override { return "portaudio"; }

  private:
    // PortAudio starts on the first question, not with the program: most runs never record,
    // and looking for devices takes a moment.
    bool InitialisedLocked() const {
        if (!tried_) {
            tried_ = true;
            QuietStandardError quiet;
            [[maybe_unused]] SoundLibraryAllocations library;
            initialised_ = Pa_Initialize() == paNoError;
        }
        return initialised_;
    }

    struct Capture {
        Capture(int rate, int channels, Sink s)
            : conversion(rate, channels, kInputRate), channels(channels), sink(std::move(s)) {}
        InputConversion conversion;
        int channels;
        Sink sink;
        std::vector<int16_t> block;
        std::atomic<bool> stopped{false};
    };

    void StopLocked() {
        if (stream_ != nullptr) {
            capture_->stopped = true;
            // Returns once the callback has ended: no block reaches the sink after it.
            Pa_StopStream(stream_);
            Pa_CloseStream(stream_);
            stream_ = nullptr;
        }
        capture_.reset();
    }

    static int Take(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                    PaStreamCallbackFlags, void* user) {
        auto& capture = *static_cast<Capture*>(user);
        if (capture.stopped) {
            return paComplete;
        }
        if (input == nullptr) {
            return paContinue;
        }
        capture.block.clear();
        capture.conversion.Convert(
            std::span(static_cast<const int16_t*>(input), frames * capture.channels),
            capture.block);
        if (!capture.block.empty()) {
            capture.sink(capture.block);
        }
        return paContinue;
    }

    mutable std::mutex mutex_;
    mutable bool tried_ = false;
    mutable bool initialised_ = false;
    PaStream* stream_ = nullptr;
    std::unique_ptr<Capture> capture_;
};

}  // namespace

std::unique_ptr<SoundInput> CreatePortAudioSoundInput() {
    return std::make_unique<PortAudioSoundInput>();
}

}  // namespace velto::platform
