#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "platform/HiveFormat.h"
#include "velto-inspect/Inspect.h"
#include "velto-inspect/Quoting.h"

namespace velto::inspect {
namespace {

// Hive files hold a handful of keys; anything near this is not one of ours.
constexpr size_t kMaxHiveBytes = 16 * 1024 * 1024;

const char* TypeName(platform::RegType type) {
    switch (type) {
        case platform::RegType::None:
            return "REG_NONE";
        case platform::RegType::Sz:
            return "REG_SZ";
        case platform::RegType::ExpandSz:
            return "REG_EXPAND_SZ";
        case platform::RegType::Binary:
            return "REG_BINARY";
        case platform::RegType::Dword:
            return "REG_DWORD";
        case platform::RegType::MultiSz:
            return "REG_MULTI_SZ";
        case platform::RegType::Qword:
            return "REG_QWORD";
    }
    return "REG_?";
}

std::string TypeLabel(platform::RegType type) {
    const char* name = TypeName(type);
    if (std::string(name) != "REG_?") {
        return name;
    }
    return "type " + std::to_string(static_cast<uint32_t>(type));
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    std::string out;
    char buffer[4];
    for (uint8_t byte : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02x", byte);
        out += out.empty() ? "" : ",";
        out += buffer;
    }
    return out;
}

std::string Dword(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08x", value);
    return buffer;
}

void PrintReadable(const std::string& file, const platform::HiveKeys& keys, std::ostream& out) {
    out << "hive file: " << QuoteNarrow(file) << " (" << keys.size()
        << (keys.size() == 1 ? " key)\n" : " keys)\n");
    for (const platform::HiveKey& key : keys) {
        out << "[" << key.path << "]\n";
        for (const platform::HiveValue& value : key.values) {
            out << "  " << (value.name.empty() ? "@" : QuoteNarrow(value.name)) << " "
                << TypeLabel(value.value.type) << " ";
            switch (value.value.type) {
                case platform::RegType::Sz:
                    out << QuoteNarrow(value.value.text);
                    break;
                case platform::RegType::Dword:
                    out << Dword(value.value.dword) << " (" << value.value.dword << ")";
                    break;
                default:
                    out << "hex:" << HexBytes(value.value.bytes);
                    break;
            }
            out << "\n";
        }
    }
}

void PrintJson(const platform::HiveKeys& keys, std::ostream& out) {
    out << "{\"keys\":[";
    const char* keySeparator = "";
    for (const platform::HiveKey& key : keys) {
        out << keySeparator << "{\"path\":" << JsonNarrow(key.path) << ",\"values\":[";
        const char* separator = "";
        for (const platform::HiveValue& value : key.values) {
            out << separator << "{\"name\":" << JsonNarrow(value.name) << ",\"type\":\""
                << TypeLabel(value.value.type) << "\",";
            switch (value.value.type) {
                case platform::RegType::Sz:
                    out << "\"text\":" << JsonNarrow(value.value.text);
                    break;
                case platform::RegType::Dword:
                    out << "\"dword\":" << value.value.dword;
                    break;
                default:
                    out << "\"hex\":\"" << HexBytes(value.value.bytes) << "\"";
                    break;
            }
            out << "}";
            separator = ",";
        }
        out << "]}";
        keySeparator = ",";
    }
    out << "]}\n";
}

}  // namespace

int RunRegistryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int exitCode = kExitOk;
    const auto input = ReadFileInput("registry", args, kMaxHiveBytes, out, err, exitCode);
    if (!input) {
        return exitCode;
    }
    const bool json = input->json;
    const std::string& file = input->file;
    const std::string& bytes = input->bytes;
    const auto parsed = platform::ParseHive(bytes);
    if (const auto* error = std::get_if<platform::HiveParseError>(&parsed)) {
        err << "velto-inspect: " << file << ": malformed hive file: line " << error->line << ": "
            << error->message << "\n";
        return kExitMalformed;
    }
    const auto& keys = std::get<platform::HiveKeys>(parsed);
    if (json) {
        PrintJson(keys, out);
    } else {
        PrintReadable(file, keys, out);
    }
    return kExitOk;
}

}  // namespace velto::inspect
