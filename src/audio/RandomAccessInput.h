#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace velto::audio {

// Input that can be read at any offset by several threads at once: a regular file, or
// bytes in memory.
class RandomAccessInput {
  public:
    virtual ~RandomAccessInput() = default;

    // The number of bytes, fixed for the input's life.
    virtual uint64_t Size() const = 0;

    // Reads exactly `count` bytes at `offset` (which with `count` lies within Size()).
    // False on failure, with errno set.
    virtual bool ReadAt(uint64_t offset, unsigned char* into, size_t count) const = 0;
};

// The bytes of an open regular file, read with pread (the file offset is left alone).
// Null when `file` is not a regular file (a pipe, a memory stream).
std::unique_ptr<RandomAccessInput> RegularFileInput(std::FILE* file);

// Bytes that outlive the input.
class MemoryInput final : public RandomAccessInput {
  public:
    MemoryInput(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, unsigned char* into, size_t count) const override;

  private:
    const unsigned char* data_;
    size_t size_;
};

}  // namespace velto::audio
