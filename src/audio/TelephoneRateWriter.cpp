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

bool TelephoneRateWriter::Frame(const int32_t* left, const int32_t* right, unsigned length) {
    if (rate_ == 0 || !writeOk_) {
        return true;
    }
    left_.resize(length);
    int16_t* out = left_.data();
    if (right != nullptr) {
        for (unsigned i = 0; i < length; ++i) {
            out[i] = scaler_.Scale(left[i]);
            scaler_.Skip();
        }
    } else {
        for (unsigned i = 0; i < length; ++i) {
            out[i] = scaler_.Scale(left[i]);
        }
    }
    uint64_t count = length;
    while (count > 0) {
        const uint64_t take = std::min<uint64_t>(count, rate_ - secondFrames_);
        reducer_.Add(out, take);
        secondFrames_ += take;
        result_.inputFrames += take;
        out += take;
        count -= take;
        if (secondFrames_ == rate_) {
            EndSecond();
        }
    }
    return true;
}

void TelephoneRateWriter::EndSecond() {
    const std::vector<int16_t>& picked = reducer_.End();
    for (const int16_t sample : picked) {
        pending_.push_back(static_cast<unsigned char>(sample));
        pending_.push_back(static_cast<unsigned char>(static_cast<uint16_t>(sample) >> 8));
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
