#include "audio/MakeDirectories.h"

#include <sys/stat.h>

#include "platform/Trace.h"

namespace velto::audio {

bool MakeDirectories(const std::string& path) {
    if (path.empty() || path.size() > kMaxDirectoryPath) {
        platform::Trace("MakeDirectories: path of %zu characters refused\n", path.size());
        return false;
    }
    std::string level = path;
    for (size_t i = 1; i < level.size(); ++i) {
        if (level[i] == '/') {
            level[i] = '\0';
            ::mkdir(level.c_str(), 0777);  // an existing level is fine
            level[i] = '/';
        }
    }
    ::mkdir(path.c_str(), 0777);
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace velto::audio
