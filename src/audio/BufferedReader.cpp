#include "audio/BufferedReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace velto::audio {

BufferedReader::BufferedReader(std::FILE* file) : file_(file), buffer_(kBufferSize) {}

size_t BufferedReader::Read(void* into, size_t size, size_t count) {
    error_ = 0;
    if (file_ == nullptr) {
        error_ = EBADF;
        return 0;
    }
    if (into == nullptr) {
        error_ = EFAULT;
        return 0;
    }
    if (size == 0 || count == 0 || count > SIZE_MAX / size) {
        error_ = EINVAL;
        return 0;
    }
    if (pendingError_ != 0) {
        error_ = pendingError_;
        pendingError_ = 0;
        return 0;
    }
    const size_t request = size * count;
    auto* out = static_cast<unsigned char*>(into);
    size_t fed = std::min(count_, request);
    std::memcpy(out, buffer_.data() + position_, fed);
    position_ += fed;
    count_ -= fed;
    if (fed < request && !fileEnded_) {
        const size_t want = request - fed;
        const size_t got = std::fread(out + fed, 1, want, file_);
        fed += got;
        if (got < want) {
            if (std::ferror(file_)) {
                pendingError_ = errno != 0 ? errno : EIO;
            } else {
                fileEnded_ = true;
            }
        }
    }
    if (count_ == 0 && !fileEnded_ && pendingError_ == 0) {
        Refill();
    }
    if (fed == 0 && pendingError_ != 0) {
        error_ = pendingError_;
        pendingError_ = 0;
    }
    return fed / size;
}

void BufferedReader::Refill() {
    position_ = 0;
    count_ = std::fread(buffer_.data(), 1, kBufferSize, file_);
    if (count_ < kBufferSize) {
        if (std::ferror(file_)) {
            pendingError_ = errno != 0 ? errno : EIO;
        } else {
            fileEnded_ = true;
        }
    }
}

bool BufferedReader::AtEnd() {
    if (count_ > 0) {
        return false;
    }
    if (fileEnded_) {
        return true;
    }
    // The read-ahead came back full and was used up exactly: look one byte further.
    const int c = std::getc(file_);
    if (c == EOF) {
        fileEnded_ = !std::ferror(file_);
        return fileEnded_;
    }
    std::ungetc(c, file_);
    return false;
}

}  // namespace velto::audio
