#pragma once

#include <filesystem>
#include <string>

namespace velto::platform {

// The Run key of the original starts programs at log-on; a Linux desktop does the same
// for every desktop entry in the XDG autostart folder. Each Run value `name` with its
// command line (program path, one blank, arguments) becomes `name`.desktop there, with
// path separators and NUL as '_'; a name that still cannot be a file name (control
// characters, too long) has no entry: an empty path, and Write/Remove fail.
std::filesystem::path AutostartEntryPath(const std::filesystem::path& folder,
                                         const std::string& name);
std::string AutostartEntryText(const std::string& name, const std::string& commandLine);
bool WriteAutostartEntry(const std::filesystem::path& folder, const std::string& name,
                         const std::string& commandLine);
bool RemoveAutostartEntry(const std::filesystem::path& folder, const std::string& name);

}  // namespace velto::platform
