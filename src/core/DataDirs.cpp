#include "core/DataDirs.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/Trace.h"

namespace velto::core {

using platform::Trace;

namespace {

bool MakeOne(const std::filesystem::path& path) {
    if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
        std::error_code error;
        return std::filesystem::is_directory(path, error);
    }
    return false;
}

}  // namespace

bool CreateDirectoryLevels(const std::filesystem::path& path) {
    const std::string text = path.string();
    for (size_t slash = text.find('/', 1); slash != std::string::npos;
         slash = text.find('/', slash + 1)) {
        const std::string prefix = text.substr(0, slash);
        if (!prefix.empty() && prefix.back() != '/' && !MakeOne(prefix)) {
            Trace("DataDirs: cannot create %s: %s\n", prefix.c_str(), std::strerror(errno));
            return false;
        }
    }
    if (!MakeOne(path)) {
        Trace("DataDirs: cannot create %s: %s\n", text.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

std::string DetermineUserDataDir(const platform::KnownFolders& folders,
                                 const std::string& installDir) {
    std::filesystem::path base;
    if (auto local = folders.LocalAppData(); local && CreateDirectoryLevels(*local)) {
        base = *local;
    } else {
        Trace("Error...cannot get local app dir!! Use app dir instead\n");
        if (auto roaming = folders.RoamingAppData(); roaming && CreateDirectoryLevels(*roaming)) {
            base = *roaming;
        } else {
            Trace("Error....cannot get app dir!! User exe dir instead\n");
            base = installDir;
        }
    }
    return (base / "Velto").string();
}

std::string PrepareUserDataDir(const platform::KnownFolders& folders,
                               const std::string& installDir) {
    std::string dir = DetermineUserDataDir(folders, installDir);
    CreateDirectoryLevels(std::filesystem::path(dir) / "Material");
    return dir;
}

}  // namespace velto::core
