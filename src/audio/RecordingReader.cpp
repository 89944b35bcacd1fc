#include "audio/RecordingReader.h"

#include <algorithm>
#include <fstream>
#include <optional>

#include "platform/WavFile.h"

namespace velto::audio {
namespace {

int16_t SampleAt(const unsigned char* p, uint16_t bits) {
    if (bits == 8) {
        return static_cast<int16_t>((p[0] - 128) * 256);
    }
    return static_cast<int16_t>(p[0] | p[1] << 8);
}

// One frame's channels mixed to one sample.
int16_t Mix(const unsigned char* frame, uint16_t channels, uint16_t bits) {
    const int step = bits / 8;
    int32_t sum = 0;
    for (uint16_t c = 0; c < channels; ++c) {
        sum += SampleAt(frame + c * step, bits);
    }
    return static_cast<int16_t>(sum / channels);
}

}  // namespace

bool RecordingReader::Read(const std::filesystem::path& file, bool growing,
                           std::vector<int16_t>& out, std::string& error) {
    const std::optional<platform::WavLayout> layout = platform::ReadWavLayout(file, &error);
    if (!layout) {
        return false;
    }
    if (rate_ != 0 && layout->sampleRate != rate_) {
        error = "the recording's sample rate changed";
        return false;
    }
    std::error_code sizeError;
    const uint64_t size = std::filesystem::file_size(file, sizeError);
    if (sizeError) {
        error = sizeError.message();
        return false;
    }
    const uint64_t end = growing ? size : layout->dataOffset + layout->dataBytes;
    const uint64_t frameBytes = uint64_t{layout->channels} * (layout->bitsPerSample / 8);
    const uint64_t frames = end > layout->dataOffset ? (end - layout->dataOffset) / frameBytes : 0;
    rate_ = layout->sampleRate;
    if (frames <= framesRead_) {
        return true;
    }
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(layout->dataOffset + framesRead_ * frameBytes));
    constexpr uint64_t kChunkFrames = 4096;
    std::vector<unsigned char> chunk;
    while (framesRead_ < frames) {
        const uint64_t count = std::min(kChunkFrames, frames - framesRead_);
        chunk.resize(count * frameBytes);
        if (!in.read(reinterpret_cast<char*>(chunk.data()),
                     static_cast<std::streamsize>(chunk.size()))) {
            error = "the recording could not be read";
            return false;
        }
        for (uint64_t i = 0; i < count; ++i) {
            out.push_back(
                Mix(chunk.data() + i * frameBytes, layout->channels, layout->bitsPerSample));
        }
        framesRead_ += count;
    }
    return true;
}

}  // namespace velto::audio
