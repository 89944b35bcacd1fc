#include "platform/TempFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace velto::platform {

std::optional<std::filesystem::path> CreateTempFile(const std::filesystem::path& folder,
                                                    const std::string& prefix) {
    std::string pattern = (folder / (prefix + "XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        return std::nullopt;
    }
    ::close(fd);
    return std::filesystem::path(pattern);
}

TempFileGuard::~TempFileGuard() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
}

}  // namespace velto::platform
