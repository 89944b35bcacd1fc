#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velto::platform {

// Creates a new, empty file in `folder` whose name starts with `prefix` (the program uses
// "SKY"), atomically (create-exclusive: no other process can take the same name between
// choosing and creating it). Returns its path, or nothing with errno set.
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
