#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/TempFile.h"

namespace velto::platform {

namespace {

int CreateFolders(const std::filesystem::path& folder) {
    if (folder.empty()) {
        return 0;
    }
    std::filesystem::path prefix;
    for (const auto& part : folder) {
        prefix /= part;
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
    }
    return 0;
}

}  // namespace

int WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
    const std::filesystem::path folder = path.parent_path();
    if (int error = CreateFolders(folder)) {
        return error;
    }
    // Beside the target, never in the system's temporary folder: the rename below only
    // works within one file system.
    const auto opened =
        OpenTempFile(folder.empty() ? "." : folder, "." + path.filename().string() + ".");
    if (!opened) {
        return errno;
    }
    const int fd = opened->fd;
    const std::string temp = opened->path.string();
    int error = 0;
    size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) {
            error = errno;
        } else if (n == 0) {
            error = EIO;  // a device that takes nothing would otherwise spin here for ever
        } else if (n > 0) {
            done += static_cast<size_t>(n);
        }
    }
    if (error == 0 && ::fchmod(fd, mode) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        return error;
    }
    // The rename itself must reach the disk too.
    const int dirFd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}

std::filesystem::path MoveAside(const std::filesystem::path& path) {
    for (int n = 1; n < 1000; ++n) {
        std::filesystem::path aside = path;
        aside += ".bad-" + std::to_string(n);
        // link() fails on an existing name, so nothing is ever replaced.
        if (::link(path.c_str(), aside.c_str()) == 0) {
            ::unlink(path.c_str());
            return aside;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

}  // namespace velto::platform
