#include "audio/TelephoneRateWriter.h"

#include <algorithm>

#include "audio/Mp3Decoder.h"
#include "platform/Trace.h"

namespace velto::audio {

namespace {

// Tone bytes are written in blocks of about this size rather than a second at a time.
constexpr size_t kWriteBlock = 64 * 1024;

}  // namespace

TelephoneRateWriter::TelephoneRateWriter(std::FILE* output) : output_(output) {
    unsigned char header[44];
    MakeStereoWavHeader(44, 0, header);
    writeOk_ = std::fwrite(header, 1, sizeof header, output_) == sizeof header;
    pending_.reserve(kWriteBlock + 2 * kToneRate);
}

void TelephoneRateWriter::Begin(uint32_t sampleRate) {
    rate_ = sampleRate;
    result_.inputRate = sampleRate;
    reducer_ = SecondReducer(sampleRate);
    reducer_.Begin();
}

bool TelephoneRateWriter::Frame(const int32_t* left, const int32_t*, unsigned length,
                                unsigned channels) {
    if (rate_ == 0 || !writeOk_) {
        return true;
    }
    // Only about one sample in three survives the reduction: scale just those, with the
    // dither they would have had, and move the generator past the frame in one step. The
    // generator steps once per sample of every channel, synthesised or not.
    const unsigned stride = channels == 2 ? 2 : 1;
    const unsigned chunkMax = DitheredScaler::kMaxSteps / stride;
    for (unsigned done = 0; done < length;) {
        const unsigned chunk = std::min(length - done, chunkMax);
        const int32_t* samples = left + done;
        for (unsigned offset = 0; offset < chunk;) {
            const auto take =
                static_cast<unsigned>(std::min<uint64_t>(chunk - offset, rate_ - secondFrames_));
            const int32_t* part = samples + offset;
            const unsigned firstStep = offset * stride;
            reducer_.AddPicked(take, [&](uint64_t i) {
                const auto step = firstStep + static_cast<unsigned>(i) * stride;
                return DitheredScaler::ScaleWith(part[i], scaler_.StateAt(step),
                                                 scaler_.StateAt(step + 1));
            });
            secondFrames_ += take;
            result_.inputFrames += take;
            offset += take;
            if (secondFrames_ == rate_) {
                EndSecond();
            }
        }
        scaler_.Advance(chunk * stride);
        done += chunk;
    }
    return true;
}

void TelephoneRateWriter::EndSecond() {
    const std::vector<int16_t>& picked = reducer_.End();
    const size_t at = pending_.size();
    pending_.resize(at + 2 * picked.size());
    unsigned char* p = pending_.data() + at;
    for (const int16_t sample : picked) {
        *p++ = static_cast<unsigned char>(sample);
        *p++ = static_cast<unsigned char>(static_cast<uint16_t>(sample) >> 8);
    }
    result_.samples += picked.size();
    reducer_.Begin();
    secondFrames_ = 0;
    if (pending_.size() >= kWriteBlock) {
        Flush();
    }
}

void TelephoneRateWriter::Flush() {
    if (writeOk_ && !pending_.empty()) {
        writeOk_ = std::fwrite(pending_.data(), 1, pending_.size(), output_) == pending_.size();
    }
    pending_.clear();
}

TelephoneRateResult TelephoneRateWriter::Finish() {
    if (rate_ == 0) {
        result_.status = TelephoneRateResult::kNoFormat;
    } else if (writeOk_) {
        EndSecond();
    }
    Flush();
    unsigned char header[44];
    MakeStereoWavHeader(44, rate_, header);
    RewriteAsToneHeader(header, result_.samples);
    writeOk_ = writeOk_ && std::fseek(output_, 0, SEEK_SET) == 0 &&
               std::fwrite(header, 1, sizeof header, output_) == sizeof header &&
               std::fflush(output_) == 0;
    if (!writeOk_) {
        platform::Trace("Telephone-rate converter: write error\n");
        result_.status = TelephoneRateResult::kWriteFailed;
    }
    return result_;
}

}  // namespace velto::audio
