// Feeds arbitrary bytes to the missed-call file reader. A refused file must say why, and the
// records kept from before its damage must write back to a file that reads to them; an
// accepted one must write back to a file that reads to the same records. No record is heard
// without a voice message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "calls/MissedCallFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const velto::calls::MissedCallsDecoded decoded = velto::calls::DecodeMissedCalls(bytes);
    const std::vector<velto::calls::MissedCall>& kept =
        decoded.records ? *decoded.records : decoded.beforeDamage;
    for (const velto::calls::MissedCall& record : kept) {
        if (record.heard && !record.hasVoiceMessage) {
            std::abort();
        }
    }
    if (!decoded.records) {
        if (decoded.error.empty()) {
            std::abort();
        }
        const velto::calls::MissedCallsDecoded salvaged =
            velto::calls::DecodeMissedCalls(velto::calls::EncodeMissedCalls(kept));
        if (!salvaged.records || *salvaged.records != kept) {
            std::abort();
        }
        return 0;
    }
    const std::string written = velto::calls::EncodeMissedCalls(*decoded.records);
    const velto::calls::MissedCallsDecoded again = velto::calls::DecodeMissedCalls(written);
    if (!again.records || *again.records != *decoded.records) {
        std::abort();
    }
    return 0;
}
