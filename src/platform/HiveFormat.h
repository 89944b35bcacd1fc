#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/RegValue.h"

namespace velto::platform {

// One key of a hive file with its values, in file order. Key paths are relative to the
// hive's root ("Software\\Velto"); "" names a value that regedit writes as "@".
struct HiveValue {
    std::string name;
    RegValue value;
    bool operator==(const HiveValue&) const = default;
};
struct HiveKey {
    std::string path;
    std::vector<HiveValue> values;
    bool operator==(const HiveKey&) const = default;
};
using HiveKeys = std::vector<HiveKey>;

struct HiveParseError {
    int line = 0;  // 1-based
    std::string message;
};

// The registry-export text format:
//   Windows Registry Editor Version 5.00
//
//   [Software\Velto]
//   "FriendMsg"=dword:ffffffff
//   "InstallDir"="/usr/share/velto"      (\\ and \" escaped; UTF-8 text)
//   "Other"=hex(b):01,00,00,00,00,00,00,00
// Refuses anything it does not understand, including a last line without its line end
// (a file cut short), and says which line. Keys that appear twice are merged; a value
// that appears twice keeps the later one, as regedit does.
std::variant<HiveKeys, HiveParseError> ParseHive(std::string_view text);

// What can be kept of a damaged hive: every key and value on a good line, in file order,
// and each line left out with the reason. A value under a key line that cannot be read is
// left out too (it belongs to no key); a file that is too large keeps nothing.
struct HiveSalvage {
    HiveKeys keys;
    std::vector<HiveParseError> bad;
};
HiveSalvage SalvageHive(std::string_view text);

// The file text for `keys`; ParseHive gives them back unchanged.
std::string FormatHive(const HiveKeys& keys);

}  // namespace velto::platform
