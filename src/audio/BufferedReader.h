#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

namespace velto::audio {

// The stream that feeds the MP3 decoder: reads through an 8192-byte read-ahead, so that the
// decoder learns that it holds the file's last block before it asks for more.
class BufferedReader {
  public:
    static constexpr size_t kBufferSize = 8192;

    // Over an open file, which stays the caller's.
    explicit BufferedReader(std::FILE* file);

    // Reads count x size bytes into `into`; returns the number of whole elements read. 0 with
    // error() set on failure: EINVAL for a zero-byte request, EFAULT for no destination, the
    // file's own error number for a failed read (reported on the read after the one it hit).
    size_t Read(void* into, size_t size, size_t count);

    // True when no byte of the file is left unread, even if the last read returned the full
    // count it was asked for.
    bool AtEnd();

    int error() const { return error_; }

  private:
    void Refill();

    std::FILE* file_;
    std::vector<unsigned char> buffer_;
    size_t position_ = 0;
    size_t count_ = 0;
    bool fileEnded_ = false;
    int pendingError_ = 0;
    int error_ = 0;
};

}  // namespace velto::audio
