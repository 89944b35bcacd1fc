#pragma once

#include <filesystem>
#include <string>

namespace velto::platform {

// The Run key of the original starts programs at log-on; a Linux desktop does the same
// for every desktop entry in the XDG autostart folder. Each Run value `name` with its
// command line (program path, one blank, arguments) becomes `name`.desktop there.
std::filesystem::path AutostartEntryPath(const std::filesystem::path& folder,
                                         const std::string& name);
std::string AutostartEntryText(const std::string& name, const std::string& commandLine);
bool WriteAutostartEntry(const std::filesystem::path& folder, const std::string& name,
                         const std::string& commandLine);
bool RemoveAutostartEntry(const std::filesystem::path& folder, const std::string& name);

}  // namespace velto::platform
