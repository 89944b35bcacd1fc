// The MP3 decoding path (buffered reader, libmad, scaling) over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/Mp3Decoder.h"
#include "platform/Trace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    velto::platform::TraceCapture quiet;
    std::vector<uint8_t> bytes(data, data + size);
    std::FILE* in = fmemopen(bytes.data(), bytes.size(), "rb");
    char* outData = nullptr;
    size_t outSize = 0;
    std::FILE* out = open_memstream(&outData, &outSize);
    std::string status;
    velto::audio::DecodeStats stats;
    const int result = velto::audio::DecodeMp3Stream(in, out, true, status, {}, stats);
    std::fclose(in);
    std::fclose(out);
    if (status.empty() || result < 0 || result > 2 || outSize % 4 != 0) {
        std::abort();
    }
    std::free(outData);
    return 0;
}
