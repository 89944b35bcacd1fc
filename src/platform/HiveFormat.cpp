#include "platform/HiveFormat.h"

#include <cstdio>
#include <map>
#include <optional>

#include "platform/Text.h"

namespace velto::platform {

RegValue RegValue::String(std::string text) {
    RegValue value;
    value.type = RegType::Sz;
    value.text = std::move(text);
    return value;
}

RegValue RegValue::Dword(uint32_t dword) {
    RegValue value;
    value.type = RegType::Dword;
    value.dword = dword;
    return value;
}

RegValue RegValue::Raw(RegType type, std::vector<uint8_t> bytes) {
    RegValue value;
    value.type = type;
    value.bytes = std::move(bytes);
    return value;
}

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr size_t kMaxText = 4 * 1024 * 1024;
constexpr size_t kMaxKeyPath = 4096;
constexpr size_t kMaxValueName = 16383;

struct Failure {
    std::string message;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Parses a run of 1..8 hex digits that makes up the whole of `text`.
bool ParseHex32(std::string_view text, uint32_t& out) {
    if (text.empty() || text.size() > 8) {
        return false;
    }
    uint32_t value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    out = value;
    return true;
}

// Reads a quoted string at the start of `text` (which begins with '"'); returns the
// number of characters used, or 0 after setting `error`.
size_t ReadQuoted(std::string_view text, std::string& out, std::string& error) {
    out.clear();
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            return i + 1;
        }
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            error = "control character inside a quoted string";
            return 0;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                error = "bad escape in a quoted string (only \\\\ and \\\" are allowed)";
                return 0;
            }
            out.push_back(text[++i]);
        } else {
            out.push_back(c);
        }
    }
    error = "unterminated quoted string";
    return 0;
}

bool ParseBytes(std::string_view text, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    if (text.empty()) {
        return true;
    }
    size_t pos = 0;
    while (true) {
        if (pos + 2 > text.size() || HexDigit(text[pos]) < 0 || HexDigit(text[pos + 1]) < 0) {
            error = "bad hex byte list";
            return false;
        }
        out.push_back(static_cast<uint8_t>(HexDigit(text[pos]) << 4 | HexDigit(text[pos + 1])));
        pos += 2;
        if (pos == text.size()) {
            return true;
        }
        if (text[pos] != ',') {
            error = "bad hex byte list";
            return false;
        }
        ++pos;
    }
}

bool StringFromUtf16Bytes(const std::vector<uint8_t>& bytes, std::string& out) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[bytes.size() - 1] != 0 ||
        bytes[bytes.size() - 2] != 0) {
        return false;
    }
    std::u16string wide;
    for (size_t i = 0; i + 2 < bytes.size(); i += 2) {
        wide.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    }
    out = Utf16ToUtf8(wide);
    return true;
}

// The data after '=' of a value line.
bool ParseData(std::string_view data, RegValue& value, std::string& error) {
    if (!data.empty() && data.front() == '"') {
        std::string text;
        const size_t used = ReadQuoted(data, text, error);
        if (used == 0) {
            return false;
        }
        if (used != data.size()) {
            error = "text after the closing quote";
            return false;
        }
        value = RegValue::String(std::move(text));
        return true;
    }
    if (data.starts_with("dword:")) {
        uint32_t dword = 0;
        if (!ParseHex32(data.substr(6), dword)) {
            error = "bad dword (expected 1 to 8 hex digits)";
            return false;
        }
        value = RegValue::Dword(dword);
        return true;
    }
    RegType type = RegType::Binary;
    std::string_view rest;
    if (data.starts_with("hex:")) {
        rest = data.substr(4);
    } else if (data.starts_with("hex(")) {
        const size_t close = data.find("):");
        uint32_t number = 0;
        if (close == std::string_view::npos || !ParseHex32(data.substr(4, close - 4), number)) {
            error = "bad hex(type) prefix";
            return false;
        }
        type = static_cast<RegType>(number);
        rest = data.substr(close + 2);
    } else if (data == "-") {
        error = "deleting values is not supported";
        return false;
    } else {
        error = "unknown value data";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!ParseBytes(rest, bytes, error)) {
        return false;
    }
    if (type == RegType::Sz) {
        std::string text;
        if (!StringFromUtf16Bytes(bytes, text)) {
            error = "REG_SZ in hex form must be UTF-16LE ending in 00,00";
            return false;
        }
        value = RegValue::String(std::move(text));
    } else if (type == RegType::Dword) {
        if (bytes.size() != 4) {
            error = "REG_DWORD in hex form must have 4 bytes";
            return false;
        }
        value = RegValue::Dword(static_cast<uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                                      static_cast<uint32_t>(bytes[3]) << 24));
    } else {
        value = RegValue::Raw(type, std::move(bytes));
    }
    return true;
}

bool ValidKeyPath(std::string_view path, std::string& error) {
    if (path.empty() || path.size() > kMaxKeyPath) {
        error = "key path empty or too long";
        return false;
    }
    if (path.front() == '-') {
        error = "deleting keys is not supported";
        return false;
    }
    if (path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string::npos) {
        error = "key path has an empty part";
        return false;
    }
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20) {
            error = "control character in key path";
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

namespace {

// The lines of a hive, for the strict reader (which stops at the first bad line) and the
// salvaging one (which leaves bad lines out and goes on).
class HiveLines {
  public:
    explicit HiveLines(bool salvage) : salvage_(salvage) {}

    HiveSalvage Read(std::string_view text);

  private:
    // One logical line; the reason when it cannot be used.
    std::optional<std::string> Line(std::string_view line);
    std::optional<std::string> KeyLine(std::string_view line);
    std::optional<std::string> ValueLine(std::string_view line);
    // False when reading stops here.
    bool Bad(int line, std::string message) {
        result_.bad.push_back(HiveParseError{line, std::move(message)});
        return salvage_;
    }

    bool salvage_;
    HiveSalvage result_;
    std::map<std::string, size_t> keyIndex_;  // lower-case path -> index in keys
    std::optional<size_t> current_;
    bool sawHeader_ = false;
};

HiveSalvage HiveLines::Read(std::string_view text) {
    if (text.size() > kMaxText) {
        Bad(1, "file too large");
        return std::move(result_);
    }
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    if (!text.empty() && text.back() != '\n') {
        int lines = 1;
        for (char c : text)
            lines += c == '\n';
        if (!Bad(lines, "last line has no line end (file cut short?)")) {
            return std::move(result_);
        }
        text = text.substr(0, text.rfind('\n') + 1);  // npos + 1: nothing
    }
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        std::string logical(Trim(text.substr(pos, end - pos)));
        pos = end + 1;
        const int startLine = ++lineNumber;
        // A hex list may go on over several lines, each but the last ending in '\'.
        bool cut = false;
        while (!logical.empty() && logical.back() == '\\' &&
               logical.find("=hex") != std::string::npos) {
            if (pos >= text.size()) {
                cut = true;
                break;
            }
            const size_t next = text.find('\n', pos);
            logical.pop_back();
            logical += Trim(text.substr(pos, next - pos));
            pos = next + 1;
            ++lineNumber;
        }
        if (cut) {
            Bad(startLine, "continued line has no next line");
            return std::move(result_);
        }
        if (auto error = Line(logical); error && !Bad(startLine, std::move(*error))) {
            return std::move(result_);
        }
    }
    if (!sawHeader_) {
        Bad(lineNumber == 0 ? 1 : lineNumber, "missing \"" + std::string(kHeader) + "\" header");
    }
    return std::move(result_);
}

std::optional<std::string> HiveLines::Line(std::string_view line) {
    if (line.empty() || line.front() == ';') {
        return std::nullopt;
    }
    if (!sawHeader_) {
        sawHeader_ = true;
        if (line != kHeader) {
            // Salvaging, a key line right away still counts; the bad header is reported.
            if (salvage_ && line.front() == '[') {
                if (auto error = KeyLine(line)) {
                    return error;
                }
            }
            return "missing \"" + std::string(kHeader) + "\" header";
        }
        return std::nullopt;
    }
    return line.front() == '[' ? KeyLine(line) : ValueLine(line);
}

std::optional<std::string> HiveLines::KeyLine(std::string_view line) {
    // The values under a key line that cannot be read belong to no key.
    current_.reset();
    if (line.back() != ']') {
        return "key line does not end in ']'";
    }
    const std::string_view path = line.substr(1, line.size() - 2);
    std::string error;
    if (!ValidKeyPath(path, error)) {
        return error;
    }
    HiveKeys& keys = result_.keys;
    auto [it, inserted] = keyIndex_.emplace(AsciiLower(path), keys.size());
    if (inserted) {
        keys.push_back(HiveKey{std::string(path), {}});
    }
    current_ = it->second;
    return std::nullopt;
}

std::optional<std::string> HiveLines::ValueLine(std::string_view line) {
    if (!current_) {
        return "value outside of any key";
    }
    std::string error;
    std::string name;
    size_t used = 0;
    if (line.front() == '@') {
        used = 1;
    } else if (line.front() == '"') {
        used = ReadQuoted(line, name, error);
        if (used == 0) {
            return error;
        }
        if (name.size() > kMaxValueName) {
            return "value name too long";
        }
    } else {
        return "expected [key], \"name\"=data or @=data";
    }
    if (used >= line.size() || line[used] != '=') {
        return "expected '=' after the value name";
    }
    RegValue value;
    if (!ParseData(line.substr(used + 1), value, error)) {
        return error;
    }
    std::vector<HiveValue>& values = result_.keys[*current_].values;
    for (auto& existing : values) {
        if (EqualsNoCase(existing.name, name)) {
            existing.value = std::move(value);
            return std::nullopt;
        }
    }
    values.push_back(HiveValue{std::move(name), std::move(value)});
    return std::nullopt;
}

}  // namespace

std::variant<HiveKeys, HiveParseError> ParseHive(std::string_view text) {
    HiveSalvage read = HiveLines(false).Read(text);
    if (!read.bad.empty()) {
        return read.bad.front();
    }
    return std::move(read.keys);
}

HiveSalvage SalvageHive(std::string_view text) {
    return HiveLines(true).Read(text);
}

namespace {

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

bool NeedsHexForm(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            return true;
        }
    }
    return false;
}

std::string HexList(const std::vector<uint8_t>& bytes) {
    std::string out;
    char buffer[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i == 0 ? "%02x" : ",%02x", bytes[i]);
        out += buffer;
    }
    return out;
}

std::string FormatData(const RegValue& value) {
    char buffer[32];
    switch (value.type) {
        case RegType::Sz:
            if (!NeedsHexForm(value.text)) {
                return Quote(value.text);
            } else {
                // Line ends cannot stand inside quotes; regedit's own hex form of REG_SZ
                // is UTF-16LE with its terminator.
                std::vector<uint8_t> bytes;
                for (char16_t unit : Utf8ToUtf16(value.text)) {
                    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
                    bytes.push_back(static_cast<uint8_t>(unit >> 8));
                }
                bytes.push_back(0);
                bytes.push_back(0);
                return "hex(1):" + HexList(bytes);
            }
        case RegType::Dword:
            std::snprintf(buffer, sizeof buffer, "dword:%08x", value.dword);
            return buffer;
        case RegType::Binary:
            return "hex:" + HexList(value.bytes);
        default:
            std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<uint32_t>(value.type));
            return buffer + HexList(value.bytes);
    }
}

}  // namespace

std::string FormatHive(const HiveKeys& keys) {
    std::string out(kHeader);
    out += "\n";
    for (const auto& key : keys) {
        out += "\n[" + key.path + "]\n";
        for (const auto& value : key.values) {
            out += value.name.empty() ? std::string("@") : Quote(value.name);
            out += "=" + FormatData(value.value) + "\n";
        }
    }
    return out;
}

}  // namespace velto::platform
