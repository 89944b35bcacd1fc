// Feeds arbitrary bytes to the missed-call file reader. A refused file must say why; an
// accepted one must write back to a file that reads to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calls/MissedCallFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const velto::calls::MissedCallsDecoded decoded = velto::calls::DecodeMissedCalls(bytes);
    if (!decoded.records) {
        if (decoded.error.empty()) {
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
