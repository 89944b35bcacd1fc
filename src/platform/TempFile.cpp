#include "platform/TempFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace velto::platform {

std::optional<OpenedTempFile> OpenTempFile(const std::filesystem::path& folder,
                                           const std::string& prefix) {
    std::string pattern = (folder / (prefix + "XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    return OpenedTempFile{fd, std::filesystem::path(pattern)};
}

std::optional<std::filesystem::path> CreateTempFile(const std::filesystem::path& folder,
                                                    const std::string& prefix) {
    auto file = OpenTempFile(folder, prefix);
    if (!file) {
        return std::nullopt;
    }
    ::close(file->fd);
    return std::move(file->path);
}

TempFileGuard::~TempFileGuard() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
}

}  // namespace velto::platform
