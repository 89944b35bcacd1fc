// The direct tone path against the two-step one over arbitrary bytes as the MP3: decoding
// into a stereo WAV and converting that WAV must give the same tone file, byte for byte,
// as feeding the decoder's samples straight to the converter.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/Mp3Decoder.h"
#include "audio/TelephoneRateConverter.h"
#include "audio/TelephoneRateWriter.h"
#include "platform/Trace.h"

namespace {

std::vector<unsigned char> Contents(std::FILE* file) {
    std::vector<unsigned char> bytes;
    std::fseek(file, 0, SEEK_SET);
    unsigned char block[4096];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.insert(bytes.end(), block, block + got);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    using namespace velto::audio;
    velto::platform::TraceCapture quiet;
    std::vector<uint8_t> bytes(data, data + size);

    // Two steps: the scratch WAV (place-holder, data, header over it), then the converter.
    std::FILE* in = fmemopen(bytes.data(), bytes.size(), "rb");
    std::FILE* wav = std::tmpfile();
    std::FILE* twoStep = std::tmpfile();
    std::FILE* direct = std::tmpfile();
    if (in == nullptr || wav == nullptr || twoStep == nullptr || direct == nullptr) {
        std::abort();
    }
    const unsigned char zeros[44] = {};
    std::fwrite(zeros, 1, sizeof zeros, wav);
    std::string status;
    DecodeStats stats;
    const int result = DecodeMp3Stream(in, wav, true, status, {}, stats);
    std::fflush(wav);
    std::fseek(wav, 0, SEEK_END);
    unsigned char header[44];
    MakeStereoWavHeader(static_cast<uint64_t>(std::ftell(wav)), stats.sampleRate, header);
    std::fseek(wav, 0, SEEK_SET);
    std::fwrite(header, 1, sizeof header, wav);
    std::fseek(wav, 0, SEEK_SET);
    const TelephoneRateResult reference = ConvertStreamToTelephoneRate(wav, twoStep);
    std::fclose(in);

    // Direct.
    in = fmemopen(bytes.data(), bytes.size(), "rb");
    TelephoneRateWriter writer(direct);
    std::string directStatus;
    DecodeStats directStats;
    const int directResult = DecodeMp3Stream(in, writer, directStatus, {}, directStats);
    const TelephoneRateResult converted = writer.Finish();
    std::fclose(in);

    if (directResult != result || directStatus != status || directStats.frames != stats.frames ||
        converted.samples != reference.samples || converted.status != reference.status ||
        Contents(direct) != Contents(twoStep)) {
        std::abort();
    }
    std::fclose(wav);
    std::fclose(twoStep);
    std::fclose(direct);
    return 0;
}
