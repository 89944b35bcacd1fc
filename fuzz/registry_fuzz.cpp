// Hive files are outside data (a user may edit them): the parser must refuse what it does
// not understand without crashing, and whatever it accepts must survive a write and re-read;
// so must what the salvaging reader keeps of a damaged one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/HiveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velto::platform;
    const auto parsed = ParseHive(std::string_view(reinterpret_cast<const char*>(data), size));
    if (const auto* keys = std::get_if<HiveKeys>(&parsed)) {
        const auto again = ParseHive(FormatHive(*keys));
        const auto* reread = std::get_if<HiveKeys>(&again);
        if (reread == nullptr || !(*reread == *keys)) {
            std::abort();
        }
    }
    // Salvaging keeps only what writes back and reads again whole; a good file loses nothing.
    const HiveSalvage kept =
        SalvageHive(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto again = ParseHive(FormatHive(kept.keys));
    const auto* reread = std::get_if<HiveKeys>(&again);
    if (reread == nullptr || !(*reread == kept.keys) ||
        (std::holds_alternative<HiveKeys>(parsed) &&
         !(kept.bad.empty() && kept.keys == std::get<HiveKeys>(parsed)))) {
        std::abort();
    }
    return 0;
}
