#include "audio/WavDuration.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "audio/LittleEndian.h"
#include "platform/Trace.h"

namespace velto::audio {

namespace {

using platform::Trace;

// The multimedia file layer's error values, which the messages print.
constexpr unsigned kErrFileNotFound = 0x101;
constexpr unsigned kErrCannotOpen = 0x103;
constexpr unsigned kErrCannotSeek = 0x107;
constexpr unsigned kErrChunkNotFound = 0x109;

class FileSource final : public ByteSource {
  public:
    explicit FileSource(const std::filesystem::path& file) : in_(file, std::ios::binary) {
        if (in_) {
            in_.seekg(0, std::ios::end);
            size_ = static_cast<uint64_t>(in_.tellg());
        }
    }
    bool ok() const { return static_cast<bool>(in_); }
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* into, size_t count) override {
        if (offset >= size_) {
            return 0;
        }
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(static_cast<char*>(into), static_cast<std::streamsize>(count));
        return static_cast<size_t>(in_.gcount());
    }

  private:
    std::ifstream in_;
    uint64_t size_ = 0;
};

struct Chunk {
    char id[4] = {};
    uint32_t size = 0;
    uint64_t dataOffset = 0;  // first byte after the chunk's header
};

// Walks chunk headers from `offset` (each body padded to an even length) until one named
// `id`; false when the file ends first.
bool FindChunk(ByteSource& source, uint64_t offset, const char* id, Chunk& chunk) {
    for (;;) {
        unsigned char head[8];
        if (source.ReadAt(offset, head, sizeof head) != sizeof head) {
            return false;
        }
        std::memcpy(chunk.id, head, 4);
        chunk.size = Le32(head + 4);
        chunk.dataOffset = offset + 8;
        if (std::memcmp(head, id, 4) == 0) {
            return true;
        }
        offset = chunk.dataOffset + ((uint64_t{chunk.size} + 1) & ~uint64_t{1});
    }
}

}  // namespace

size_t MemorySource::ReadAt(uint64_t offset, void* into, size_t count) {
    if (offset >= bytes_.size()) {
        return 0;
    }
    const size_t n = std::min<uint64_t>(count, bytes_.size() - offset);
    std::memcpy(into, bytes_.data() + offset, n);
    return n;
}

std::optional<uint32_t> WavDurationMs(const std::filesystem::path& file) {
    FileSource source(file);
    if (!source.ok()) {
        std::error_code error;
        const bool missing = !std::filesystem::exists(file, error) && !error;
        Trace("Unable to open %s: %x\n", file.c_str(), missing ? kErrFileNotFound : kErrCannotOpen);
        return std::nullopt;
    }
    return WavDurationMs(source, file.string());
}

std::optional<uint32_t> WavDurationMs(ByteSource& source, const std::string& name) {
    unsigned char riff[12] = {};
    const size_t got = source.ReadAt(0, riff, sizeof riff);
    if (got < sizeof riff) {
        Trace("Unable to find RIFF section in .WAV file, possible file format error: %x\n",
              kErrChunkNotFound);
        return std::nullopt;
    }
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        Trace("RIFF file %s is not a WAVE file, possible file format error\n", name.c_str());
        return std::nullopt;
    }
    Chunk fmt;
    if (!FindChunk(source, 12, "fmt ", fmt)) {
        Trace("Unable to find FMT section in RIFF file, possible file format error: %x\n",
              kErrChunkNotFound);
        return std::nullopt;
    }
    // A format chunk of 13 bytes or less is not read: its tag counts as 0.
    unsigned char format[40] = {};
    if (fmt.size > 13) {
        const size_t want = std::min<uint32_t>(fmt.size, sizeof format);
        if (source.ReadAt(fmt.dataOffset, format, want) != want) {
            Trace("Read error reading WAVE format from file\n");
            return std::nullopt;
        }
    }
    const int tag = format[0] | format[1] << 8;
    if (tag != 1) {
        Trace("WAVE file %s is not a PCM format file, it's a %d format file\n", name.c_str(), tag);
        return std::nullopt;
    }
    const uint64_t fmtEnd = fmt.dataOffset + ((uint64_t{fmt.size} + 1) & ~uint64_t{1});
    if (fmtEnd > source.Size()) {
        Trace("Unable to pop up in RIFF file, possible file format error: %x\n", kErrCannotSeek);
        return std::nullopt;
    }
    Chunk data;
    if (!FindChunk(source, fmtEnd, "data", data)) {
        Trace("Unable to find DATA section in RIFF file, possible file format error: %x\n",
              kErrChunkNotFound);
        return std::nullopt;
    }
    const uint32_t bytesPerSecond = Le32(format + 8);
    if (bytesPerSecond == 0) {
        Trace("WAVE file %s gives 0 bytes per second, its length is unknown\n", name.c_str());
        return std::nullopt;
    }
    return static_cast<uint32_t>(uint64_t{data.size} * 1000 / bytesPerSecond);
}

}  // namespace velto::audio
