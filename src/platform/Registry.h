#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HiveFormat.h"
#include "platform/RegValue.h"

namespace velto::platform {

// The two registry roots the program uses. Each is one hive file in the registry-export
// text format (see HiveFormat.h):
//   CurrentUser  -> the user's config folder, private to the user (mode 0600)
//   LocalMachine -> the machine hive next to the installed program
enum class RegRoot { CurrentUser, LocalMachine };

// Win32-style results, so that traces can show the same numbers.
enum class RegError : long {
    Ok = 0,
    NotFound = 2,      // ERROR_FILE_NOT_FOUND: key or value absent
    AccessDenied = 5,  // ERROR_ACCESS_DENIED: hive cannot be written
    InvalidData = 13,  // ERROR_INVALID_DATA: bad key path
    WriteFailed = 29,  // ERROR_WRITE_FAULT: the hive file could not be saved
    MoreData = 234,    // ERROR_MORE_DATA: the value does not fit the caller's buffer
};

// The Run key of the current user; its values are mirrored to XDG autostart entries.
inline constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Key paths use backslashes ("Software\\Velto") and, like value names, compare without
// regard to ASCII case. Thread-safe. Each change is saved at once, atomically (temporary
// file in the same folder, fsync, rename): a crash leaves either the old or the new file.
//
// A hive file that cannot be parsed is refused with a trace naming the file and line and
// moved aside as NAME.bad-<n>; the hive then starts empty, so the program runs on its
// defaults. If it cannot be moved aside, the hive stays read-only rather than overwrite it.
class Registry {
  public:
    struct Files {
        std::filesystem::path currentUser;
        std::filesystem::path localMachine;
        // Where the Run key's values are mirrored as desktop entries; none: no mirroring.
        std::optional<std::filesystem::path> autostartFolder;
    };
    // How a hive file is saved: (path, bytes, mode) -> 0 or an errno value.
    using FileWriter = std::function<int(const std::filesystem::path&, std::string_view, mode_t)>;
    // `writer` none: WriteFileAtomically. Tests give a failing device.
    explicit Registry(Files files, FileWriter writer = {});
    ~Registry();

    bool KeyExists(RegRoot root, std::string_view key) const;
    // Creates the key and any missing parents; Ok when it already existed.
    RegError CreateKey(RegRoot root, std::string_view key);

    RegError Query(RegRoot root, std::string_view key, std::string_view name,
                   RegValue& value) const;
    // Reads a 32-bit value. A value of another type of at most four bytes is read as well
    // (zero-padded, as into a DWORD buffer) and `type` tells the caller; longer data gives
    // MoreData.
    RegError QueryDword(RegRoot root, std::string_view key, std::string_view name, uint32_t& value,
                        RegType* type = nullptr) const;
    // Reads text; a value of another type yields its bytes as text and its `type`.
    RegError QueryString(RegRoot root, std::string_view key, std::string_view name,
                         std::string& value, RegType* type = nullptr) const;

    // The key must exist (as with an opened key). A failed save returns WriteFailed and
    // leaves both the file and the in-memory hive as they were.
    RegError Set(RegRoot root, std::string_view key, std::string_view name, RegValue value);
    RegError SetDword(RegRoot root, std::string_view key, std::string_view name, uint32_t value);
    RegError SetString(RegRoot root, std::string_view key, std::string_view name,
                       std::string value);
    RegError DeleteValue(RegRoot root, std::string_view key, std::string_view name);

    // Several values of one key in one save: all of them or none. A change without a value
    // deletes that value (an absent one is no error). The key and its parents are created.
    // Not for the Run key (its values are mirrored one by one).
    struct ValueChange {
        std::string name;
        std::optional<RegValue> value;
    };
    RegError SetValues(RegRoot root, std::string_view key, const std::vector<ValueChange>& changes);

    // Re-reads both hive files (another process may have changed them).
    void Reload();

    const Files& files() const { return files_; }

  private:
    struct Hive;
    Hive& Loaded(RegRoot root) const;
    RegError Save(RegRoot root, Hive& hive) const;
    void MirrorRunValue(std::string_view name, const RegValue* value);

    mutable std::mutex mutex_;
    Files files_;
    FileWriter writeFile_;
    mutable std::map<RegRoot, std::unique_ptr<Hive>> hives_;
};

}  // namespace velto::platform
