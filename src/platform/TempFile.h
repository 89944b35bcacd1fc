#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velto::platform {

// An open descriptor for a new file made by OpenTempFile; closing it is the caller's.
struct OpenedTempFile {
    int fd = -1;
    std::filesystem::path path;
};

// Creates a new, empty file in `folder` whose name is `prefix` followed by six random
// characters, atomically (create-exclusive: no other process can take the same name between
// choosing and creating it), and returns it open for writing. The descriptor is
// close-on-exec, so a process started meanwhile by another thread does not inherit it.
// Nothing, with errno set, when the file cannot be made.
std::optional<OpenedTempFile> OpenTempFile(const std::filesystem::path& folder,
                                           const std::string& prefix);

// Creates a new, empty file in `folder` whose name starts with `prefix` (the program uses
// "SKY"), as OpenTempFile, and closes it. Returns its path, or nothing with errno set.
std::optional<std::filesystem::path> CreateTempFile(const std::filesystem::path& folder,
                                                    const std::string& prefix = "SKY");

// Removes the file when it goes out of scope, unless released.
class TempFileGuard {
  public:
    explicit TempFileGuard(std::filesystem::path path) : path_(std::move(path)) {}
    ~TempFileGuard();
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void Release() { path_.clear(); }

  private:
    std::filesystem::path path_;
};

}  // namespace velto::platform
