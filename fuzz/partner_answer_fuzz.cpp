// Feeds arbitrary bytes to the reader of the partner tone list.
#include <cstddef>
#include <cstdint>

#include "server/PartnerToneAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parsed = velto::server::ParsePartnerToneAnswer({data, size});
    if (parsed.valid) {
        for (const auto& entry : parsed.entries) {
            // Nothing that leaves the tone folder gets through.
            if (entry.toneKey.empty() || entry.toneKey == ".." ||
                entry.toneKey.find_first_of("/\\") != std::string::npos) {
                __builtin_trap();
            }
        }
    } else if (!parsed.entries.empty()) {
        __builtin_trap();
    }
    return 0;
}
