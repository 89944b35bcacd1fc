// The telephone-rate converter's header handling: arbitrary bytes as the input WAV. The
// rate is limited so that one input stays a few seconds of work at most.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/TelephoneRateConverter.h"
#include "platform/Trace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 28) {
        const uint32_t rate = data[24] | data[25] << 8 | data[26] << 16 | uint32_t{data[27]} << 24;
        if (rate != 0 && rate < 1000) {
            return 0;  // each input frame would repeat into thousands of output samples
        }
    }
    velto::platform::TraceCapture quiet;
    std::vector<uint8_t> bytes(data, data + size);
    std::FILE* in = fmemopen(bytes.empty() ? nullptr : bytes.data(), bytes.size(), "rb");
    if (in == nullptr) {
        return 0;
    }
    // A real (temporary) file: the converter seeks back to rewrite the header.
    std::FILE* out = std::tmpfile();
    if (out == nullptr) {
        std::fclose(in);
        return 0;
    }
    const auto result = velto::audio::ConvertStreamToTelephoneRate(in, out);
    std::fclose(in);
    std::fseek(out, 0, SEEK_END);
    const auto outSize = static_cast<uint64_t>(std::ftell(out));
    std::fclose(out);
    if (result.status == velto::audio::TelephoneRateResult::kHeaderNotOk && outSize != 0) {
        std::abort();  // a refused header leaves nothing behind
    }
    if (result.status == velto::audio::TelephoneRateResult::kOk &&
        outSize != 44 + 2 * result.samples) {
        std::abort();
    }
    return 0;
}
