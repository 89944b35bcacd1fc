#include "audio/TelephoneRateConverter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/LittleEndian.h"
#include "audio/SecondReducer.h"
#include "platform/Trace.h"

namespace velto::audio {

namespace {

// Input is read in steps of at most this many bytes: one second of 48000 Hz stereo.
constexpr size_t kStepBytes = 192000;

uint32_t Size32(uint64_t v) {
    return v > 0xFFFFFFFFull ? 0xFFFFFF00u : static_cast<uint32_t>(v);
}

}  // namespace

void RewriteAsToneHeader(unsigned char header[44], uint64_t samples) {
    const uint64_t dataBytes = 2 * samples;
    PutLe32(header + 4, Size32(dataBytes + 36));
    header[22] = 1;
    header[23] = 0;
    PutLe32(header + 24, kToneRate);
    PutLe32(header + 28, 2 * kToneRate);
    header[32] = 2;
    header[33] = 0;
    header[34] = 16;
    header[35] = 0;
    PutLe32(header + 40, Size32(dataBytes));
}

TelephoneRateResult ConvertStreamToTelephoneRate(std::FILE* input, std::FILE* output) {
    TelephoneRateResult result;
    unsigned char header[44];
    if (std::fread(header, 1, sizeof header, input) != sizeof header) {
        platform::Trace("header not OK\n");
        result.status = TelephoneRateResult::kHeaderNotOk;
        return result;
    }
    const uint32_t rate = Le32(header + 24);
    const unsigned channels = header[22];
    result.inputRate = rate;
    bool writeOk = std::fwrite(header, 1, sizeof header, output) == sizeof header;

    if (rate == 0 || channels == 0) {
        // Nothing can be read a second at a time: the tone has no samples.
        result.status = TelephoneRateResult::kNoFormat;
    } else {
        const size_t frameBytes = 2 * size_t{channels};
        const size_t stepFrames = kStepBytes / frameBytes;
        std::vector<unsigned char> bytes(stepFrames * frameBytes);
        std::vector<int16_t> first(stepFrames);
        SecondReducer reducer(rate);
        bool more = true;
        while (more && writeOk) {
            reducer.Begin();
            uint64_t left = rate;
            while (left > 0) {
                const size_t want = static_cast<size_t>(std::min<uint64_t>(left, stepFrames));
                const size_t got = std::fread(bytes.data(), 1, want * frameBytes, input);
                const size_t frames = got / frameBytes;
                for (size_t i = 0; i < frames; ++i) {
                    const unsigned char* p = bytes.data() + i * frameBytes;
                    first[i] = static_cast<int16_t>(p[0] | p[1] << 8);
                }
                reducer.Add(first.data(), frames);
                result.inputFrames += frames;
                left -= frames;
                if (got < want * frameBytes) {
                    more = false;
                    break;
                }
            }
            const std::vector<int16_t>& picked = reducer.End();
            if (!picked.empty()) {
                std::vector<unsigned char> le(picked.size() * 2);
                for (size_t i = 0; i < picked.size(); ++i) {
                    le[2 * i] = static_cast<unsigned char>(picked[i]);
                    le[2 * i + 1] =
                        static_cast<unsigned char>(static_cast<uint16_t>(picked[i]) >> 8);
                }
                writeOk = std::fwrite(le.data(), 1, le.size(), output) == le.size();
                result.samples += picked.size();
            }
        }
    }

    RewriteAsToneHeader(header, result.samples);
    writeOk = writeOk && std::fseek(output, 0, SEEK_SET) == 0 &&
              std::fwrite(header, 1, sizeof header, output) == sizeof header &&
              std::fflush(output) == 0;
    if (!writeOk) {
        platform::Trace("Telephone-rate converter: write error\n");
        result.status = TelephoneRateResult::kWriteFailed;
    }
    return result;
}

TelephoneRateResult ConvertToTelephoneRate(const std::filesystem::path& input,
                                           const std::filesystem::path& output) {
    std::FILE* in = std::fopen(input.c_str(), "rbe");
    std::FILE* out = std::fopen(output.c_str(), "wbe");
    if (in == nullptr || out == nullptr) {
        platform::Trace("Fail open\n");
        if (in != nullptr) {
            std::fclose(in);
        }
        if (out != nullptr) {
            std::fclose(out);
        }
        TelephoneRateResult result;
        result.status = TelephoneRateResult::kOpenFailed;
        return result;
    }
    TelephoneRateResult result = ConvertStreamToTelephoneRate(in, out);
    std::fclose(in);
    if (std::fclose(out) != 0 && result.status == TelephoneRateResult::kOk) {
        platform::Trace("Telephone-rate converter: write error\n");
        result.status = TelephoneRateResult::kWriteFailed;
    }
    return result;
}

}  // namespace velto::audio
