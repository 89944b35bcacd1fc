#include "platform/FileLookup.h"

#include <system_error>

#include "platform/Text.h"

namespace velto::platform {

std::optional<std::filesystem::path> FindInFolderNoCase(const std::filesystem::path& folder,
                                                        const std::string& name) {
    std::error_code error;
    const std::filesystem::path exact = folder / name;
    if (std::filesystem::exists(exact, error)) {
        return exact;
    }
    // A folder that cannot be listed (or fails half way) is one without the file.
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (EqualsNoCase(it->path().filename().string(), name)) {
            return it->path();
        }
    }
    return std::nullopt;
}

std::filesystem::path ResolveNoCase(const std::filesystem::path& folder, const std::string& name) {
    auto found = FindInFolderNoCase(folder, name);
    return found ? *found : folder / name;
}

}  // namespace velto::platform
