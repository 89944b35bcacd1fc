#include <portaudio.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/PortAudioDevice.h"
#include "platform/SoundLibraryGuards.h"
#include "platform/SoundStream.h"
#include "platform/Trace.h"

namespace velto::platform {

namespace {

constexpr uint32_t kCushionMs = 400;
// Silence first: the device chain drops a stream's first few milliseconds.
constexpr uint32_t kLeadMs = 20;

// One PortAudio stream, opened at the first Write and fed from a queue. Pieces come a
// period apart, each about a period long: playing starts, and starts again after the queue
// ran dry, only once kCushionMs are queued, so that a piece a little late leaves no gap. The
// queue's lock is only tried on PortAudio's thread: a callback that would wait plays silence
// instead.
class PortAudioSoundStream final : public SoundStream {
  public:
    ~PortAudioSoundStream() override {
        if (stream_ != nullptr) {
            Pa_AbortStream(stream_);
            Pa_CloseStream(stream_);
        }
        Pa_Terminate();
    }

    bool Write(const std::vector<int16_t>& samples, uint32_t rate) override {
        if (rate == 0 || (rate_ != 0 && rate != rate_)) {
            return false;
        }
        if (stream_ == nullptr && !Open(rate)) {
            return false;
        }
        std::lock_guard guard(queueMutex_);
        queue_.insert(queue_.end(), samples.begin(), samples.end());
        const size_t most = static_cast<size_t>(rate_) * kMaxQueuedMs / 1000;
        if (queue_.size() > most) {
            queue_.erase(queue_.begin(),
                         queue_.begin() + static_cast<std::ptrdiff_t>(queue_.size() - most));
        }
        return true;
    }

    const char* Name() const override { return "portaudio"; }

  private:
    bool Open(uint32_t rate) {
        [[maybe_unused]] SoundLibraryAllocations library;
        const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
        const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
        PaError err = paNoDevice;
        if (info != nullptr) {
            PaStreamParameters parameters{};
            parameters.device = device;
            parameters.channelCount = 1;
            parameters.sampleFormat = paInt16;
            // The device's high latency, as for the other sounds: a voice that does not break
            // up while the machine is busy (measured: no later than with the low one).
            parameters.suggestedLatency = info->defaultHighOutputLatency;
            // Set before the stream starts: its thread reads them.
            rate_ = rate;
            leadSamples_ = static_cast<size_t>(rate) * kLeadMs / 1000;
            err = Pa_OpenStream(&stream_, nullptr, &parameters, rate, paFramesPerBufferUnspecified,
                                paNoFlag, &PortAudioSoundStream::Feed, this);
        }
        if (err == paNoError) {
            err = Pa_StartStream(stream_);
            if (err != paNoError) {
                Pa_CloseStream(stream_);
            }
        }
        if (err != paNoError) {
            stream_ = nullptr;
            rate_ = 0;
            Trace("Sound output: cannot stream a voice: %s\n", Pa_GetErrorText(err));
            return false;
        }
        return true;
    }

    static int Feed(const void*, void* output, unsigned long frames,
                    const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* user) {
        auto& self = *static_cast<PortAudioSoundStream*>(user);
        auto* out = static_cast<int16_t*>(output);
        if (self.leadSamples_ > 0) {
            const size_t lead = std::min<size_t>(frames, self.leadSamples_);
            std::memset(out, 0, lead * sizeof(int16_t));
            self.leadSamples_ -= lead;
            out += lead;
            frames -= lead;
        }
        size_t given = 0;
        if (std::unique_lock lock(self.queueMutex_, std::try_to_lock); lock.owns_lock()) {
            auto& queue = self.queue_;
            if (!self.flowing_ &&
                queue.size() >= static_cast<size_t>(self.rate_) * kCushionMs / 1000) {
                self.flowing_ = true;
            }
            if (self.flowing_) {
                given = std::min<size_t>(frames, queue.size());
                std::copy_n(queue.begin(), given, out);
                queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(given));
                self.flowing_ = !queue.empty();
            }
        }
        std::memset(out + given, 0, (frames - given) * sizeof(int16_t));
        return paContinue;
    }

    PaStream* stream_ = nullptr;
    uint32_t rate_ = 0;
    std::mutex queueMutex_;
    std::deque<int16_t> queue_;  // under queueMutex_
    bool flowing_ = false;       // under queueMutex_: the cushion was there, playing goes on
    size_t leadSamples_ = 0;     // PortAudio's thread only, once started
};

}  // namespace

std::unique_ptr<SoundStream> CreatePortAudioSoundStream() {
    if (!ProbeDefaultOutputDevice()) {
        return nullptr;
    }
    return std::make_unique<PortAudioSoundStream>();
}

}  // namespace velto::platform
