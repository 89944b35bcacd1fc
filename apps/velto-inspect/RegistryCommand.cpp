#include <cstdio>
#include <variant>

#include "platform/HiveFormat.h"
#include "platform/WholeFile.h"
#include "velto-inspect/Inspect.h"
#include "velto-inspect/Quoting.h"

namespace velto::inspect {
namespace {

// Far above any hive the program writes.
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

void PrintValue(const platform::HiveValue& value, std::ostream& out) {
    out << "  " << (value.name.empty() ? std::string("@") : QuoteNarrow(value.name)) << " "
        << TypeName(value.value.type) << " ";
    if (value.value.type == platform::RegType::Sz) {
        out << QuoteNarrow(value.value.text);
    } else if (value.value.type == platform::RegType::Dword) {
        char text[32];
        std::snprintf(text, sizeof text, "0x%08x (%u)", value.value.dword, value.value.dword);
        out << text;
    } else {
        out << value.value.bytes.size() << " bytes:";
        for (uint8_t byte : value.value.bytes) {
            char text[4];
            std::snprintf(text, sizeof text, " %02x", byte);
            out << text;
        }
    }
    out << "\n";
}

}  // namespace

// Prints each key of a hive file and its typed values, in file order.
int RunRegistryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || args[0].starts_with("--")) {
        err << "usage: velto-inspect registry FILE\n";
        return kExitUsage;
    }
    const std::string& file = args[0];
    const platform::FileReadResult read = platform::ReadWholeFile(file, kMaxHiveBytes);
    if (read.status != platform::FileReadResult::Status::Ok) {
        err << "velto-inspect: " << file << ": " << read.error << "\n";
        return kExitMalformed;
    }
    const auto parsed = platform::ParseHive(read.bytes);
    if (const auto* error = std::get_if<platform::HiveParseError>(&parsed)) {
        err << "velto-inspect: " << file << ":" << error->line
            << ": malformed hive: " << error->message << "\n";
        return kExitMalformed;
    }
    for (const platform::HiveKey& key : std::get<platform::HiveKeys>(parsed)) {
        out << "[" << key.path << "]\n";
        for (const platform::HiveValue& value : key.values) {
            PrintValue(value, out);
        }
    }
    return kExitOk;
}

}  // namespace velto::inspect
