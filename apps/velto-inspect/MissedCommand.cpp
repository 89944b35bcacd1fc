#include <string>
#include <vector>

#include "calls/MissedCallFile.h"
#include "core/BoundedFileRead.h"
#include "velto-inspect/Inspect.h"
#include "velto-inspect/Quoting.h"

namespace velto::inspect {
namespace {

void PrintReadable(const std::string& file, size_t size,
                   const std::vector<calls::MissedCall>& records, std::ostream& out) {
    out << "missed-call file: " << QuoteNarrow(file) << " (" << size << " bytes)\n"
        << "records: " << records.size() << "\n";
    size_t number = 0;
    for (const calls::MissedCall& record : records) {
        out << "  " << ++number << ": " << QuoteNarrow(record.partnerHandle) << " at "
            << QuoteNarrow(record.time);
        if (record.hasVoiceMessage) {
            out << ", voice message " << QuoteWide(record.voiceFile);
        } else {
            out << ", no voice message";
        }
        out << "\n";
    }
}

void PrintJson(const std::vector<calls::MissedCall>& records, std::ostream& out) {
    out << "{\"records\":[";
    const char* separator = "";
    for (const calls::MissedCall& record : records) {
        out << separator << "{\"handle\":" << JsonNarrow(record.partnerHandle)
            << ",\"time\":" << JsonNarrow(record.time)
            << ",\"hasVoiceMessage\":" << (record.hasVoiceMessage ? "true" : "false");
        if (record.hasVoiceMessage) {
            out << ",\"voiceFile\":" << JsonWide(record.voiceFile);
        }
        out << "}";
        separator = ",";
    }
    out << "]}\n";
}

}  // namespace

int RunMissedCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    std::string file;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (file.empty() && !arg.starts_with("--")) {
            file = arg;
        } else {
            err << "velto-inspect: missed: unexpected argument '" << arg << "'\n";
            return kExitUsage;
        }
    }
    if (file.empty()) {
        err << "usage: velto-inspect missed [--json] FILE\n";
        return kExitUsage;
    }
    const core::FileReadResult read = core::ReadWholeFile(file, calls::kMaxMissedCallFileBytes);
    if (read.status != core::FileReadResult::Status::Ok) {
        err << "velto-inspect: " << file << ": " << read.error << "\n";
        return kExitMalformed;
    }
    const calls::MissedCallsDecoded decoded = calls::DecodeMissedCalls(read.bytes);
    if (!decoded.records) {
        err << "velto-inspect: " << file << ": malformed missed-call file: " << decoded.error
            << "\n";
        return kExitMalformed;
    }
    if (json) {
        PrintJson(*decoded.records, out);
    } else {
        PrintReadable(file, read.bytes.size(), *decoded.records, out);
    }
    return kExitOk;
}

}  // namespace velto::inspect
