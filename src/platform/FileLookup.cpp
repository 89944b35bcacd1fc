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
    std::filesystem::directory_iterator it(folder, error);
    if (error) {
        return std::nullopt;
    }
    for (const auto& entry : it) {
        if (EqualsNoCase(entry.path().filename().string(), name)) {
            return entry.path();
        }
    }
    return std::nullopt;
}

std::filesystem::path ResolveNoCase(const std::filesystem::path& folder, const std::string& name) {
    auto found = FindInFolderNoCase(folder, name);
    return found ? *found : folder / name;
}

}  // namespace velto::platform
