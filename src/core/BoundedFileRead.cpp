#include "core/BoundedFileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velto::core {
namespace {

std::string SystemError(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, so that a failing close is seen.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

}  // namespace

FileReadResult ReadWholeFile(const std::filesystem::path& path, size_t maxBytes) {
    FileReadResult result;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        result.status =
            error == ENOENT ? FileReadResult::Status::NotFound : FileReadResult::Status::Failed;
        result.error = SystemError("cannot open", error);
        return result;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        result.error = "not a regular file";
        return result;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        result.status = FileReadResult::Status::TooLarge;
        result.error = std::to_string(info.st_size) + " bytes, more than the " +
                       std::to_string(maxBytes) + " allowed";
        return result;
    }
    // Read up to the limit plus one byte, in case the file grew since fstat.
    result.bytes.resize(static_cast<size_t>(info.st_size) + 1);
    size_t filled = 0;
    while (filled < result.bytes.size()) {
        const ssize_t got =
            ::read(fd.get(), result.bytes.data() + filled, result.bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.bytes.clear();
            result.error = SystemError("cannot read", errno);
            return result;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<size_t>(got);
    }
    if (filled > static_cast<size_t>(info.st_size)) {
        result.bytes.clear();
        result.error = "the file changed while it was read";
        return result;
    }
    result.bytes.resize(filled);
    result.status = FileReadResult::Status::Ok;
    return result;
}

}  // namespace velto::core
