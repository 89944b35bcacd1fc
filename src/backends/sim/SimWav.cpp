#include "backends/sim/SimWav.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace velto::skype::sim {

namespace {

uint32_t Le32(std::string_view bytes, size_t at) {
    auto b = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i]));
    };
    return b(0) | (b(1) << 8) | (b(2) << 16) | (b(3) << 24);
}

uint16_t Le16(std::string_view bytes, size_t at) {
    auto b = [&](size_t i) {
        return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at + i]));
    };
    return static_cast<uint16_t>(b(0) | (b(1) << 8));
}

void PutLe32(unsigned char* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void PutLe16(unsigned char* out, uint16_t value) {
    out[0] = static_cast<unsigned char>(value);
    out[1] = static_cast<unsigned char>(value >> 8);
}

std::optional<WavInfo> Fail(std::string* error, const char* text) {
    if (error != nullptr) {
        *error = text;
    }
    return std::nullopt;
}

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

platform::Millis WavInfo::Duration() const {
    if (byteRate == 0) {
        return platform::Millis(0);
    }
    return platform::Millis(
        static_cast<int64_t>(static_cast<uint64_t>(dataBytes) * 1000 / byteRate));
}

std::optional<WavInfo> ParseWav(std::string_view bytes, std::string* error) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        return Fail(error, "not a RIFF WAVE file");
    }
    WavInfo info;
    bool haveFormat = false;
    size_t at = 12;
    while (bytes.size() - at >= 8) {
        std::string_view id = bytes.substr(at, 4);
        uint64_t size = Le32(bytes, at + 4);
        size_t body = at + 8;
        size_t left = bytes.size() - body;
        if (id == "fmt ") {
            if (size < 16 || left < 16) {
                return Fail(error, "format chunk too short");
            }
            info.format = Le16(bytes, body);
            info.channels = Le16(bytes, body + 2);
            info.sampleRate = Le32(bytes, body + 4);
            info.byteRate = Le32(bytes, body + 8);
            info.bitsPerSample = Le16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                return Fail(error, "data chunk before the format chunk");
            }
            info.dataOffset = body;
            info.dataBytes = static_cast<size_t>(std::min<uint64_t>(size, left));
            if (info.format != 1 || info.channels == 0 || info.byteRate == 0) {
                return Fail(error, "not a playable PCM format");
            }
            return info;
        }
        if (size > left) {
            break;
        }
        at = body + static_cast<size_t>(size) + (size & 1);
        if (at > bytes.size()) {
            break;
        }
    }
    return Fail(error, haveFormat ? "no data chunk" : "no format chunk");
}

platform::Millis WavFileDuration(const std::filesystem::path& path) {
    auto bytes = ReadWhole(path);
    if (!bytes) {
        return platform::Millis(0);
    }
    auto info = ParseWav(*bytes);
    return info ? info->Duration() : platform::Millis(0);
}

std::optional<std::vector<int16_t>> ReadVoiceSamples(const std::filesystem::path& path,
                                                     std::string* error) {
    auto bytes = ReadWhole(path);
    if (!bytes) {
        if (error != nullptr) {
            *error = "cannot read " + path.string();
        }
        return std::nullopt;
    }
    auto info = ParseWav(*bytes, error);
    if (!info) {
        return std::nullopt;
    }
    if (info->channels != 1 || info->sampleRate != WavWriter::kSampleRate ||
        info->bitsPerSample != 16) {
        if (error != nullptr) {
            *error = "voice file is not 16-bit mono 16000 Hz";
        }
        return std::nullopt;
    }
    std::vector<int16_t> samples(info->dataBytes / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(Le16(*bytes, info->dataOffset + 2 * i));
    }
    return samples;
}

WavWriter::~WavWriter() {
    Finish();
}

bool WavWriter::Open(const std::filesystem::path& path, std::string* error) {
    Finish();
    file_ = std::fopen(path.c_str(), "wbe");
    if (file_ == nullptr) {
        if (error != nullptr) {
            *error = "cannot create " + path.string() + ": " + std::strerror(errno);
        }
        return false;
    }
    samples_ = 0;
    failed_ = false;
    if (!WriteHeader()) {
        if (error != nullptr) {
            *error = "cannot write " + path.string();
        }
        return false;
    }
    return true;
}

bool WavWriter::WriteHeader() {
    uint64_t dataBytes64 = samples_ * 2;
    uint32_t dataBytes =
        dataBytes64 > 0xFFFFFFF0u ? 0xFFFFFFF0u : static_cast<uint32_t>(dataBytes64);
    unsigned char header[44];
    std::memcpy(header, "RIFF", 4);
    PutLe32(header + 4, 36 + dataBytes);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutLe32(header + 16, 16);
    PutLe16(header + 20, 1);
    PutLe16(header + 22, 1);
    PutLe32(header + 24, kSampleRate);
    PutLe32(header + 28, kSampleRate * 2);
    PutLe16(header + 32, 2);
    PutLe16(header + 34, 16);
    std::memcpy(header + 36, "data", 4);
    PutLe32(header + 40, dataBytes);
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(header, 1, 44, file_) != 44 ||
        std::fseek(file_, 0, SEEK_END) != 0 || std::fflush(file_) != 0) {
        failed_ = true;
    }
    return !failed_;
}

bool WavWriter::Append(const int16_t* samples, size_t count) {
    if (file_ == nullptr) {
        return false;
    }
    unsigned char buffer[2 * 1024];
    size_t done = 0;
    while (done < count) {
        size_t n = std::min<size_t>(count - done, sizeof buffer / 2);
        for (size_t i = 0; i < n; ++i) {
            PutLe16(buffer + 2 * i, static_cast<uint16_t>(samples[done + i]));
        }
        if (std::fwrite(buffer, 2, n, file_) != n) {
            failed_ = true;
            return false;
        }
        done += n;
    }
    samples_ += count;
    return WriteHeader();
}

bool WavWriter::Finish() {
    if (file_ == nullptr) {
        return !failed_;
    }
    if (std::fclose(file_) != 0) {
        failed_ = true;
    }
    file_ = nullptr;
    return !failed_;
}

}  // namespace velto::skype::sim
