#include <cstddef>
#include <cstdint>
#include <string_view>

#include "backends/sim/SimWav.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (auto info = velto::skype::sim::ParseWav(bytes)) {
        if (info->dataOffset + info->dataBytes > size) {
            __builtin_trap();
        }
        (void)info->Duration();
    }
    return 0;
}
