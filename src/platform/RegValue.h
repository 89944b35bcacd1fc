#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velto::platform {

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
    static RegValue Raw(RegType type, std::vector<uint8_t> bytes);
    bool operator==(const RegValue&) const = default;
};

}  // namespace velto::platform
