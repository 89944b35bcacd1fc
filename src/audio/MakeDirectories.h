#pragma once

#include <string>

namespace velto::audio {

constexpr size_t kMaxDirectoryPath = 1027;

// Creates every missing level of `path` (narrow text, '/'-separated, at most 1027
// characters). True when the whole path is a directory afterwards; existing levels are
// harmless.
bool MakeDirectories(const std::string& path);

}  // namespace velto::audio
