#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace velto::platform {

// Replaces `path` with `bytes` so that a crash leaves either the old or the new file: a
// temporary file in the same folder is written, flushed to disk, given `mode`, and renamed
// over the old one. Missing folders are created (mode 0700). Returns 0 or an errno value;
// on failure the old file is untouched and no temporary file is left behind.
int WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t mode);

// Moves `path` aside to `path`.bad-<n> with the smallest free n, never replacing a file.
// Returns the new name, or an empty path when it could not be moved.
std::filesystem::path MoveAside(const std::filesystem::path& path);

}  // namespace velto::platform
