#include "platform/WavFile.h"

#include <cstring>
#include <fstream>

namespace velto::platform {

namespace {

uint32_t Le32(const unsigned char* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

std::optional<WavLayout> Fail(std::string* error, const char* reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return std::nullopt;
}

}  // namespace

uint64_t WavLayout::DurationMs() const {
    const uint64_t perSecond = BytesPerSecond();
    return perSecond == 0 ? 0 : dataBytes * 1000 / perSecond;
}

std::optional<WavLayout> ReadWavLayout(const std::filesystem::path& file, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return Fail(error, "cannot open the file");
    }
    in.seekg(0, std::ios::end);
    const uint64_t size = static_cast<uint64_t>(in.tellg());
    in.seekg(0);
    unsigned char riff[12];
    if (!in.read(reinterpret_cast<char*>(riff), sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return Fail(error, "not a RIFF WAVE file");
    }
    WavLayout layout;
    bool haveFormat = false;
    uint64_t pos = 12;
    while (pos + 8 <= size) {
        unsigned char head[8];
        in.seekg(static_cast<std::streamoff>(pos));
        if (!in.read(reinterpret_cast<char*>(head), sizeof head)) {
            break;
        }
        const uint64_t chunkSize = Le32(head + 4);
        const uint64_t body = pos + 8;
        if (std::memcmp(head, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (chunkSize < sizeof fmt || !in.read(reinterpret_cast<char*>(fmt), sizeof fmt)) {
                return Fail(error, "format chunk too short");
            }
            if (Le16(fmt) != 1) {
                return Fail(error, "not integer PCM");
            }
            layout.channels = Le16(fmt + 2);
            layout.sampleRate = Le32(fmt + 4);
            layout.bitsPerSample = Le16(fmt + 14);
            haveFormat = true;
        } else if (std::memcmp(head, "data", 4) == 0) {
            if (!haveFormat) {
                return Fail(error, "data before format");
            }
            layout.dataOffset = body;
            layout.dataBytes = std::min(chunkSize, size - body);
            if (layout.channels == 0 || layout.sampleRate == 0 ||
                (layout.bitsPerSample != 8 && layout.bitsPerSample != 16)) {
                return Fail(error, "unsupported sample layout");
            }
            return layout;
        }
        pos = body + chunkSize + (chunkSize & 1);
    }
    return Fail(error, "no data chunk");
}

}  // namespace velto::platform
