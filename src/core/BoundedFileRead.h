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

}  // namespace velto::core
