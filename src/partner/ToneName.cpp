#include "partner/ToneName.h"

namespace velto::partner {
bool BuildDownloadAddress(std::string_view prefix, std::string_view remoteName,
                          std::string& address) {
    auto startsWithNoCase = [&](std::string_view scheme) {
        if (prefix.size() < scheme.size()) {
            return false;
        }
        for (size_t i = 0; i < scheme.size(); ++i) {
            char c = prefix[i];
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
            if (c != scheme[i]) {
                return false;
            }
        }
        return true;
    };
    if (!startsWithNoCase("http://") && !startsWithNoCase("https://")) {
        return false;
    }
    std::string out;
    out.reserve(prefix.size() + remoteName.size() * 3);
    auto append = [&](std::string_view part, std::string_view keep) {
        static const char kHex[] = "0123456789ABCDEF";
        for (char ch : part) {
            const auto c = static_cast<uint8_t>(ch);
            const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                               (c >= '0' && c <= '9') || keep.find(ch) != std::string_view::npos;
            if (plain) {
                out.push_back(ch);
            } else {
                out.push_back('%');
                out.push_back(kHex[c >> 4]);
                out.push_back(kHex[c & 0x0F]);
            }
        }
    };
    // The prefix is an address and keeps its delimiters; the remote name is one path
    // segment, so "?" and "#" in it are data.
    append(prefix, "-._~!$&'()*+,;=:@%/?#[]");
    append(remoteName, "-._~!$&'()*+,;=:@%");
    address = std::move(out);
    return true;
}

}  // namespace velto::partner
