// Tone keys, remote file names and address prefixes from the server's partner tone list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "partner/ToneName.h"
#include "platform/PathComponent.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view prefix = input.substr(0, split);
    const std::string_view name =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    std::string reason;
    if (velto::platform::IsSafePathComponent(name, &reason)) {
        // Whatever passes stays inside the folder it is joined to.
        if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos ||
            name == "." || name == ".." || name.empty() ||
            name.size() > velto::platform::kMaxPathComponentBytes) {
            std::abort();
        }
        std::string address;
        std::string bare;
        if (velto::partner::BuildDownloadAddress(prefix, name, address)) {
            if (!velto::partner::BuildDownloadAddress(prefix, "", bare) ||
                address.compare(0, bare.size(), bare) != 0) {
                std::abort();
            }
            const std::string_view tail = std::string_view(address).substr(bare.size());
            if (tail.find_first_of("?# /") != std::string_view::npos) {
                std::abort();
            }
        }
    } else if (reason.empty()) {
        std::abort();
    }
    return 0;
}
