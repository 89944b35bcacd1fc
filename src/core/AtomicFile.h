#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace velto::core {

struct FileReadResult {
    enum class Status { Ok, NotFound, TooLarge, Failed };
    Status status = Status::Failed;
    std::string bytes;
    std::string error;  // the system's reason when not Ok
};

// Reads a whole file of at most `maxBytes`; a larger one is refused before anything is
// allocated for it.
FileReadResult ReadWholeFile(const std::filesystem::path& path, size_t maxBytes);

// Replaces `path` with `bytes` so that a crash, a full disk or a missing folder never
// leaves a torn file: writes a temporary file in the same folder, checks every write,
// flushes it to disk and renames it over the old one. Returns an empty string on
// success, otherwise the reason (the old file is then untouched).
std::string WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);

}  // namespace velto::core
