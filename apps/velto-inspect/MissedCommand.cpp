#include <string>
#include <vector>

#include "calls/MissedCallFile.h"
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
            out << ", voice message " << QuoteWide(record.voiceFile)
                << (record.heard ? " (heard)" : " (new)");
        } else {
            out << ", no voice message";
        }
        if (record.busy) {
            out << ", refused busy";
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
            out << ",\"voiceFile\":" << JsonWide(record.voiceFile)
                << ",\"heard\":" << (record.heard ? "true" : "false");
        }
        out << ",\"busy\":" << (record.busy ? "true" : "false") << "}";
        separator = ",";
    }
    out << "]}\n";
}

}  // namespace

int RunMissedCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int exitCode = kExitOk;
    const auto input =
        ReadFileInput("missed", args, calls::kMaxMissedCallFileBytes, out, err, exitCode);
    if (!input) {
        return exitCode;
    }
    const bool json = input->json;
    const std::string& file = input->file;
    const std::string& bytes = input->bytes;
    const calls::MissedCallsDecoded decoded = calls::DecodeMissedCalls(bytes);
    if (!decoded.records) {
        err << "velto-inspect: " << file << ": malformed missed-call file: " << decoded.error
            << "\n";
        return kExitMalformed;
    }
    if (json) {
        PrintJson(*decoded.records, out);
    } else {
        PrintReadable(file, bytes.size(), *decoded.records, out);
    }
    return kExitOk;
}

}  // namespace velto::inspect
