#include "audio/WavSizes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "audio/LittleEndian.h"

namespace velto::audio {
namespace {

constexpr size_t kHeaderBytes = 44;

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

std::string CheckHeader(const unsigned char* h) {
    if (std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVEfmt ", 8) != 0) {
        return "no RIFF/WAVE header";
    }
    if (h[16] != 16 || h[17] != 0 || h[18] != 0 || h[19] != 0 || Le16(h + 20) != 1) {
        return "not a plain PCM format chunk";
    }
    if (std::memcmp(h + 36, "data", 4) != 0) {
        return "no data chunk after the format chunk";
    }
    if (Le16(h + 32) == 0) {
        return "a frame size of 0";
    }
    return {};
}

}  // namespace

std::string FixWavSizes(const std::filesystem::path& file) {
    Descriptor d{open(file.c_str(), O_RDWR | O_CLOEXEC)};
    if (d.fd < 0) {
        return std::strerror(errno);
    }
    struct stat info {};
    if (fstat(d.fd, &info) != 0) {
        return std::strerror(errno);
    }
    const auto size = static_cast<uint64_t>(info.st_size);
    unsigned char header[kHeaderBytes];
    if (size < kHeaderBytes ||
        pread(d.fd, header, kHeaderBytes, 0) != static_cast<ssize_t>(kHeaderBytes)) {
        return "shorter than a WAV header";
    }
    if (std::string why = CheckHeader(header); !why.empty()) {
        return why;
    }
    if (size > UINT32_MAX) {
        return "too large for a WAV file";
    }
    const uint16_t frame = Le16(header + 32);
    const uint64_t data = (size - kHeaderBytes) / frame * frame;
    unsigned char riff[4];
    unsigned char dataSize[4];
    PutLe32(riff, static_cast<uint32_t>(size - 8));
    PutLe32(dataSize, static_cast<uint32_t>(data));
    if (pwrite(d.fd, riff, 4, 4) != 4 || pwrite(d.fd, dataSize, 4, 40) != 4) {
        return std::strerror(errno);
    }
    if (fsync(d.fd) != 0) {
        return std::strerror(errno);
    }
    return {};
}

std::string WriteWavHeader(const std::filesystem::path& file, PcmFormat format) {
    if (format.rate == 0 || format.channels == 0 || format.rate > 1000000 || format.channels > 16) {
        return "no usable sound format";
    }
    Descriptor d{open(file.c_str(), O_WRONLY | O_CLOEXEC)};
    if (d.fd < 0) {
        return std::strerror(errno);
    }
    struct stat info {};
    if (fstat(d.fd, &info) != 0) {
        return std::strerror(errno);
    }
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size < kHeaderBytes) {
        return "shorter than a WAV header";
    }
    if (size > UINT32_MAX) {
        return "too large for a WAV file";
    }
    const auto frame = static_cast<uint16_t>(2 * format.channels);
    unsigned char h[kHeaderBytes];
    std::memcpy(h, "RIFF", 4);
    PutLe32(h + 4, static_cast<uint32_t>(size - 8));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    PutLe32(h + 16, 16);
    PutLe16(h + 20, 1);
    PutLe16(h + 22, format.channels);
    PutLe32(h + 24, format.rate);
    PutLe32(h + 28, format.rate * frame);
    PutLe16(h + 32, frame);
    PutLe16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    PutLe32(h + 40, static_cast<uint32_t>((size - kHeaderBytes) / frame * frame));
    if (pwrite(d.fd, h, kHeaderBytes, 0) != static_cast<ssize_t>(kHeaderBytes)) {
        return std::strerror(errno);
    }
    return {};
}

}  // namespace velto::audio
