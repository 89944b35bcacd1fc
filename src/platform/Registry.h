#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velto::platform {

// The two registry roots the program uses. Each is one hive file in the registry-export
// text format:
//   CurrentUser  -> the user's config folder (private to the user, mode 0600)
//   LocalMachine -> the machine hive next to the installed program (read-only for us)
enum class RegRoot { CurrentUser, LocalMachine };

// Win32-style results, so that traces can show the same numbers.
enum class RegError : long {
    Ok = 0,
    NotFound = 2,      // ERROR_FILE_NOT_FOUND: key or value absent
    AccessDenied = 5,  // ERROR_ACCESS_DENIED: hive cannot be written
    InvalidData = 13,  // ERROR_INVALID_DATA
    WriteFailed = 29,  // ERROR_WRITE_FAULT: the hive file could not be saved
};

enum class RegType : uint32_t {
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
    MultiSz = 7,
    Qword = 11,
};

// A value as stored: REG_SZ holds UTF-8 text in `text`; REG_DWORD holds `dword`; every
// other type keeps its raw bytes in `bytes`.
struct RegValue {
    RegType type = RegType::None;
    std::string text;
    uint32_t dword = 0;
    std::vector<uint8_t> bytes;

    static RegValue String(std::string text);
    static RegValue Dword(uint32_t value);
    bool operator==(const RegValue&) const = default;
};

// Key paths use backslashes ("Software\\Velto") and, like value names, compare without
// regard to ASCII case.
class Registry {
public:
    struct Files {
        std::filesystem::path currentUser;
        std::filesystem::path localMachine;
    };
    explicit Registry(Files files);

    bool KeyExists(RegRoot root, std::string_view key) const;
    // Creates the key and any missing parents; Ok when it already existed.
    RegError CreateKey(RegRoot root, std::string_view key);

    RegError Query(RegRoot root, std::string_view key, std::string_view name,
                   RegValue& value) const;
    // Reads a REG_DWORD; a value of another type yields its first four bytes, and `type`
    // (when given) tells the caller so it can trace it.
    RegError QueryDword(RegRoot root, std::string_view key, std::string_view name,
                        uint32_t& value, RegType* type = nullptr) const;
    RegError QueryString(RegRoot root, std::string_view key, std::string_view name,
                         std::string& value, RegType* type = nullptr) const;

    // The key must exist (as with an opened key). Each change is saved at once,
    // atomically; a failed save returns WriteFailed and leaves the file as it was.
    RegError Set(RegRoot root, std::string_view key, std::string_view name, RegValue value);
    RegError SetDword(RegRoot root, std::string_view key, std::string_view name, uint32_t value);
    RegError SetString(RegRoot root, std::string_view key, std::string_view name,
                       std::string value);
    RegError DeleteValue(RegRoot root, std::string_view key, std::string_view name);

    // Re-reads both hive files (another process may have changed them).
    void Reload();

private:
    struct Hive;
    Hive& HiveOf(RegRoot root);
    const Hive& HiveOf(RegRoot root) const;

    mutable std::mutex mutex_;
    Files files_;
    std::map<RegRoot, std::shared_ptr<Hive>> hives_;
};

}  // namespace velto::platform
