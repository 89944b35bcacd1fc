// Feeds arbitrary bytes to the setting file reader. Whatever it accepts must write back
// to the same bytes (less any trailing ones) and read back to the same contents.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/SettingFileCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const velto::core::SettingFileDecoded decoded = velto::core::DecodeSettingFile(bytes);
    if (!decoded.contents) {
        if (decoded.error.field.empty() || decoded.error.offset > size) {
            std::abort();
        }
        return 0;
    }
    const std::string written = velto::core::EncodeSettingFile(*decoded.contents);
    // Flag bytes other than 0 and 1 read as on and are written back as 1.
    if (written.size() != size - decoded.trailingBytes) {
        std::abort();
    }
    const velto::core::SettingFileDecoded again = velto::core::DecodeSettingFile(written);
    if (!again.contents || !(*again.contents == *decoded.contents) || again.trailingBytes != 0) {
        std::abort();
    }
    return 0;
}
