#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velto::platform {

// File names in the installation and data folders are matched without regard to letter
// case, as they were where the program comes from. Returns the existing entry of `folder`
// whose name equals `name` ignoring ASCII case (an exact match wins), or nothing.
std::optional<std::filesystem::path> FindInFolderNoCase(const std::filesystem::path& folder,
                                                        const std::string& name);

// `folder` / `name`, spelled as the existing entry is when there is one; otherwise as given.
std::filesystem::path ResolveNoCase(const std::filesystem::path& folder, const std::string& name);

}  // namespace velto::platform
