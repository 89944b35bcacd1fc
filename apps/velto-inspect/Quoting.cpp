#include "velto-inspect/Quoting.h"

#include <cstdio>

#include "platform/Text.h"

namespace velto::inspect {
namespace {

bool IsUtf8(std::string_view text) {
    return platform::Utf16ToUtf8(platform::Utf8ToUtf16(text)) == text;
}

bool IsSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

std::string Hex(const char* format, unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Escapes one ASCII character; `json` picks the JSON spelling of control characters.
void AppendAscii(std::string& out, char c, bool json) {
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\t':
            out += "\\t";
            return;
        case '\r':
            out += "\\r";
            return;
        default:
            break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
        out += Hex(json ? "\\u%04x" : "\\x%02x", byte);
    } else {
        out += c;
    }
}

std::string QuoteUtf8(std::string_view text, bool json) {
    std::string out = "\"";
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            out += c;  // part of a valid UTF-8 sequence
        } else {
            AppendAscii(out, c, json);
        }
    }
    return out + "\"";
}

std::string QuoteUtf16(std::u16string_view text, bool json) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            AppendAscii(out, static_cast<char>(unit), json);
        } else if (!IsSurrogate(unit)) {
            out += platform::Utf16ToUtf8(text.substr(i, 1));
        } else if (unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            out += platform::Utf16ToUtf8(text.substr(i, 2));
            ++i;
        } else {
            out += Hex("\\u%04X", unit);
        }
    }
    return out + "\"";
}

}  // namespace

std::string QuoteNarrow(std::string_view text) {
    if (IsUtf8(text)) {
        return QuoteUtf8(text, false);
    }
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            out += Hex("\\x%02x", byte);
        } else {
            AppendAscii(out, c, false);
        }
    }
    return out + "\"";
}

std::string QuoteWide(std::u16string_view text) {
    return QuoteUtf16(text, false);
}

std::string JsonNarrow(std::string_view text) {
    return QuoteUtf8(platform::Utf16ToUtf8(platform::Utf8ToUtf16(text)), true);
}

std::string JsonWide(std::u16string_view text) {
    return QuoteUtf16(text, true);
}

}  // namespace velto::inspect
