#include "platform/PathComponent.h"

#include <cstdint>

namespace velto::platform {
namespace {

bool Refuse(std::string* reason, const char* why) {
    if (reason) {
        *reason = why;
    }
    return false;
}

// Length of the UTF-8 sequence starting at `i`, or 0 when it is not a valid one
// (overlong forms, surrogates and values above U+10FFFF included).
size_t Utf8SequenceLength(std::string_view s, size_t i) {
    const auto b0 = static_cast<uint8_t>(s[i]);
    if (b0 < 0x80) {
        return 1;
    }
    size_t length = 0;
    uint32_t min = 0;
    uint32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (s.size() - i < length) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<uint8_t>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

bool IsSafePathComponent(std::string_view name, std::string* reason) {
    if (name.empty()) {
        return Refuse(reason, "empty");
    }
    if (name.size() > kMaxPathComponentBytes) {
        return Refuse(reason, "too long");
    }
    if (name == "." || name == "..") {
        return Refuse(reason, "names a folder itself");
    }
    for (size_t i = 0; i < name.size();) {
        const auto c = static_cast<uint8_t>(name[i]);
        if (c == '/' || c == '\\') {
            return Refuse(reason, "contains a path separator");
        }
        if (c < 0x20 || c == 0x7F) {
            return Refuse(reason, "contains a control character");
        }
        const size_t n = Utf8SequenceLength(name, i);
        if (n == 0) {
            return Refuse(reason, "is not valid UTF-8");
        }
        i += n;
    }
    return true;
}

}  // namespace velto::platform
