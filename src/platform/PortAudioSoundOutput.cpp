#include <portaudio.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/PortAudioDevice.h"
#include "platform/SoundLibraryGuards.h"
#include "platform/SoundOutput.h"
#include "platform/Trace.h"
#include "platform/WavFile.h"

namespace velto::platform {

namespace {

// Tones and previews are short; a longer file is refused rather than held in memory.
constexpr uint64_t kMaxDataBytes = 64ull * 1024 * 1024;
// Silence before a sound and after one that does not loop, for the samples the device chain
// drops at a stream's start and end (through the pulse plugin at the high latency asked for:
// about 9 ms and 40 ms).
constexpr size_t kLeadMilliseconds = 20;
constexpr size_t kTailMilliseconds = 60;

// One PortAudio stream per sound, fed from the file's samples held in memory. Play, Stop
// and IsPlaying may come from any thread: each runs whole under the one lock, so a sound
// and its stream always change together and a stream is closed before its sound goes.
// The lock is never taken on PortAudio's own threads (Feed, Finished), so waiting for them
// under it cannot deadlock; a completion must therefore not call back into the output.
class PortAudioSoundOutput final : public SoundOutput {
  public:
    ~PortAudioSoundOutput() override {
        Stop();
        Pa_Terminate();
    }

    bool Play(const std::filesystem::path& file, bool loop, Completion onFinished) override {
        std::lock_guard guard(mutex_);
        StopLocked();
        std::string error;
        const auto layout = ReadWavLayout(file, &error);
        if (!layout || layout->dataBytes > kMaxDataBytes) {
            Trace("Sound output: cannot play %s: %s\n", file.c_str(),
                  layout ? "file too long" : error.c_str());
            return false;
        }
        auto sound = std::make_unique<Sound>();
        if (!Load(file, *layout, sound->samples)) {
            Trace("Sound output: cannot read %s\n", file.c_str());
            return false;
        }
        sound->channels = layout->channels;
        sound->loop = loop;
        const size_t perSecond = static_cast<size_t>(layout->sampleRate) * layout->channels;
        sound->leadSamples = perSecond * kLeadMilliseconds / 1000;
        sound->tailSamples = perSecond * kTailMilliseconds / 1000;
        sound->onFinished = std::move(onFinished);
        PaStream* stream = nullptr;
        PaError err = paNoDevice;
        [[maybe_unused]] SoundLibraryAllocations library;
        const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
        if (const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device)) {
            // Nothing here is interactive: the device's high latency buys a ring or preview
            // that does not break up while the machine is busy.
            PaStreamParameters parameters{};
            parameters.device = device;
            parameters.channelCount = layout->channels;
            parameters.sampleFormat = paInt16;
            parameters.suggestedLatency = info->defaultHighOutputLatency;
            err = Pa_OpenStream(&stream, nullptr, &parameters, layout->sampleRate,
                                paFramesPerBufferUnspecified, paNoFlag, &PortAudioSoundOutput::Feed,
                                sound.get());
        }
        if (err == paNoError) {
            Pa_SetStreamFinishedCallback(stream, &PortAudioSoundOutput::Finished);
            // What the chain drops at the end is at most what it holds: a device that holds
            // more than the usual tail gets that much silence after the sound.
            if (const PaStreamInfo* streamInfo = Pa_GetStreamInfo(stream)) {
                const auto held =
                    static_cast<size_t>(streamInfo->outputLatency * layout->sampleRate) *
                    layout->channels;
                sound->tailSamples = std::max(sound->tailSamples, held);
            }
            err = Pa_StartStream(stream);
            if (err != paNoError) {
                Pa_CloseStream(stream);
            }
        }
        if (err != paNoError) {
            Trace("Sound output: cannot play %s: %s\n", file.c_str(), Pa_GetErrorText(err));
            return false;
        }
        stream_ = stream;
        sound_ = std::move(sound);
        return true;
    }

    void Stop() override {
        std::lock_guard guard(mutex_);
        StopLocked();
    }

    bool IsPlaying() const override {
        std::lock_guard guard(mutex_);
        return stream_ != nullptr && Pa_IsStreamActive(stream_) == 1;
    }

    const char* Name() const override { return "portaudio"; }

  private:
    void StopLocked() {
        if (stream_ != nullptr) {
            sound_->stopped = true;  // a stop is no completion
            Pa_AbortStream(stream_);
            Pa_CloseStream(stream_);
            stream_ = nullptr;
        }
        sound_.reset();
    }

    struct Sound {
        std::vector<int16_t> samples;
        size_t position = 0;
        int channels = 1;
        bool loop = false;
        size_t leadSamples = 0;  // silence before the first sample
        size_t tailSamples = 0;  // silence after the last sample, before the stream completes
        std::atomic<bool> stopped{false};
        Completion onFinished;
    };

    static bool Load(const std::filesystem::path& file, const WavLayout& layout,
                     std::vector<int16_t>& samples) {
        std::ifstream in(file, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(layout.dataOffset));
        std::vector<unsigned char> bytes(layout.dataBytes);
        if (!in.read(reinterpret_cast<char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()))) {
            return false;
        }
        if (layout.bitsPerSample == 8) {
            samples.resize(bytes.size());
            for (size_t i = 0; i < bytes.size(); ++i) {
                samples[i] = static_cast<int16_t>((bytes[i] - 128) * 256);
            }
        } else {
            samples.resize(bytes.size() / 2);
            for (size_t i = 0; i < samples.size(); ++i) {
                samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
            }
        }
        // Whole frames only.
        samples.resize(samples.size() - samples.size() % layout.channels);
        return true;
    }

    static int Feed(const void*, void* output, unsigned long frames,
                    const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* user) {
        auto& sound = *static_cast<Sound*>(user);
        auto* out = static_cast<int16_t*>(output);
        size_t wanted = frames * static_cast<size_t>(sound.channels);
        if (sound.leadSamples > 0) {
            const size_t n = std::min(wanted, sound.leadSamples);
            std::memset(out, 0, n * sizeof(int16_t));
            sound.leadSamples -= n;
            out += n;
            wanted -= n;
        }
        while (wanted > 0) {
            if (sound.position == sound.samples.size()) {
                if (!sound.loop || sound.samples.empty()) {
                    std::memset(out, 0, wanted * sizeof(int16_t));
                    // The stream stops before its last buffer has played (ALSA's pulse
                    // plugin drops it): silence goes last, so that what is dropped is silence.
                    if (sound.tailSamples <= wanted) {
                        return paComplete;
                    }
                    sound.tailSamples -= wanted;
                    return paContinue;
                }
                sound.position = 0;
            }
            const size_t n = std::min(wanted, sound.samples.size() - sound.position);
            std::memcpy(out, sound.samples.data() + sound.position, n * sizeof(int16_t));
            sound.position += n;
            out += n;
            wanted -= n;
        }
        return paContinue;
    }

    static void Finished(void* user) {
        auto& sound = *static_cast<Sound*>(user);
        if (!sound.stopped && sound.onFinished) {
            sound.onFinished();
        }
    }

    mutable std::mutex mutex_;
    PaStream* stream_ = nullptr;
    std::unique_ptr<Sound> sound_;
};

}  // namespace

std::unique_ptr<SoundOutput> CreatePortAudioSoundOutput() {
    if (!ProbeDefaultOutputDevice()) {
        return nullptr;
    }
    return std::make_unique<PortAudioSoundOutput>();
}

}  // namespace velto::platform
