#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velto::audio {

// Random access to the bytes of a WAV file (a file, or memory for the fuzzer).
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies up to `count` bytes from `offset`; returns how many were copied.
    virtual size_t ReadAt(uint64_t offset, void* into, size_t count) = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    size_t ReadAt(uint64_t offset, void* into, size_t count) override;

  private:
    std::string_view bytes_;
};

// How long a PCM WAV file plays, in milliseconds: the data chunk's size times 1000 over the
// average bytes per second, from the header chunks only. A file that cannot be opened or is
// not a PCM WAV file gives nothing, after its reason was traced; callers treat it as a sound
// of no length.
std::optional<uint32_t> WavDurationMs(const std::filesystem::path& file);
// `name` stands for the file in the messages.
std::optional<uint32_t> WavDurationMs(ByteSource& source, const std::string& name);

}  // namespace velto::audio
