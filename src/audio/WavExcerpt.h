#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velto::audio {

// Copies of the samples of a PCM WAV file (8 or 16 bits) under a fresh 44-byte header
// whose sizes are those of the samples copied, whatever the source's header claims: only
// whole frames present in the source are taken.

// Writes a copy of `source` to `target` from `startMs` on (a whole frame at or before it),
// through a new file beside `target` that replaces it only once whole. Empty on success,
// else the reason.
std::string SaveWavFrom(const std::filesystem::path& source, uint32_t startMs,
                        const std::filesystem::path& target);

// The same into a new file of `folder` whose name starts with `prefix`; its path, or
// nothing with the reason in `error`.
std::optional<std::filesystem::path> WriteWavExcerpt(const std::filesystem::path& source,
                                                     uint32_t startMs,
                                                     const std::filesystem::path& folder,
                                                     const std::string& prefix, std::string& error);

}  // namespace velto::audio
