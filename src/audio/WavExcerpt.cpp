#include "audio/WavExcerpt.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "audio/PcmWavBytes.h"
#include "platform/TempFile.h"
#include "platform/WavFile.h"

namespace velto::audio {
namespace {

std::string Header(const platform::WavLayout& layout, uint32_t dataBytes) {
    return PcmWavHeader(layout.sampleRate, layout.channels, layout.bitsPerSample, dataBytes);
}

bool WriteAll(int fd, const char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

// Writes the excerpt to the open `fd`; empty, or the reason.
std::string WriteExcerpt(const std::filesystem::path& source, uint32_t startMs, int fd) {
    std::string error;
    const auto layout = platform::ReadWavLayout(source, &error);
    if (!layout) {
        return error;
    }
    const uint64_t block = layout->channels * ((layout->bitsPerSample + 7u) / 8u);
    if (block == 0 || layout->sampleRate == 0) {
        return "no samples to copy";
    }
    // A header holds 32-bit sizes: a longer source is cut at the largest whole frame.
    const uint64_t limit = (0xFFFFFFFFull - 36) / block * block;
    const uint64_t whole = std::min(layout->dataBytes / block * block, limit);
    const uint64_t skip =
        std::min(whole, uint64_t{startMs} * layout->BytesPerSecond() / 1000 / block * block);
    uint64_t left = whole - skip;
    const std::string header = Header(*layout, static_cast<uint32_t>(left));
    if (!WriteAll(fd, header.data(), header.size())) {
        return std::strerror(errno);
    }
    std::ifstream in(source, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(layout->dataOffset + skip));
    std::vector<char> buffer(64 * 1024);
    while (left > 0) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
        if (!in.read(buffer.data(), static_cast<std::streamsize>(chunk))) {
            return "the source could not be read";
        }
        if (!WriteAll(fd, buffer.data(), chunk)) {
            return std::strerror(errno);
        }
        left -= chunk;
    }
    return {};
}

}  // namespace

std::optional<std::filesystem::path> WriteWavExcerpt(const std::filesystem::path& source,
                                                     uint32_t startMs,
                                                     const std::filesystem::path& folder,
                                                     const std::string& prefix,
                                                     std::string& error) {
    auto file = platform::OpenTempFile(folder, prefix);
    if (!file) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    platform::TempFileGuard guard(file->path);
    error = WriteExcerpt(source, startMs, file->fd);
    if (::close(file->fd) != 0 && error.empty()) {
        error = std::strerror(errno);
    }
    if (!error.empty()) {
        return std::nullopt;
    }
    guard.Release();
    return file->path;
}

std::string SaveWavFrom(const std::filesystem::path& source, uint32_t startMs,
                        const std::filesystem::path& target) {
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string error;
    const auto written =
        WriteWavExcerpt(source, startMs, folder, "." + target.filename().string() + ".", error);
    if (!written) {
        return error;
    }
    // The copy stays private (0600), as the message it comes from.
    platform::TempFileGuard guard(*written);
    std::error_code renamed;
    std::filesystem::rename(*written, target, renamed);
    if (renamed) {
        return renamed.message();
    }
    guard.Release();
    return {};
}

}  // namespace velto::audio
