#pragma once

#include <filesystem>
#include <string>

#include "platform/KnownFolders.h"

namespace velto::core {

// The per-user data folder: the local application-data folder (created when missing),
// else the roaming one, else the installation folder; with "Velto" appended.
std::string DetermineUserDataDir(const platform::KnownFolders& folders,
                                 const std::string& installDir);

// Creates `path` level by level: each leading part in turn (existing ones are left alone),
// then the whole path. False, with a trace, when a level cannot be made.
bool CreateDirectoryLevels(const std::filesystem::path& path);

// DetermineUserDataDir, then its "Material" folder created level by level.
std::string PrepareUserDataDir(const platform::KnownFolders& folders,
                               const std::string& installDir);

}  // namespace velto::core
