#include "audio/RandomAccessInput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velto::audio {

namespace {

class FileInput final : public RandomAccessInput {
  public:
    FileInput(int fd, uint64_t size) : fd_(fd), size_(size) {}
    uint64_t Size() const override { return size_; }

    bool ReadAt(uint64_t offset, unsigned char* into, size_t count) const override {
        if (offset > size_ || count > size_ - offset) {
            errno = EINVAL;
            return false;
        }
        while (count > 0) {
            const ssize_t got = ::pread(fd_, into, count, static_cast<off_t>(offset));
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            if (got == 0) {
                errno = EIO;  // the file became shorter while it was read
                return false;
            }
            into += got;
            offset += static_cast<uint64_t>(got);
            count -= static_cast<size_t>(got);
        }
        return true;
    }

  private:
    int fd_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<RandomAccessInput> RegularFileInput(std::FILE* file) {
    const int fd = file != nullptr ? ::fileno(file) : -1;
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        return nullptr;
    }
    return std::make_unique<FileInput>(fd, static_cast<uint64_t>(info.st_size));
}

bool MemoryInput::ReadAt(uint64_t offset, unsigned char* into, size_t count) const {
    if (offset > size_ || count > size_ - offset) {
        errno = EINVAL;
        return false;
    }
    if (count > 0) {
        std::memcpy(into, data_ + offset, count);
    }
    return true;
}

}  // namespace velto::audio
