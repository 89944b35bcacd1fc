#include "server/PartnerToneAnswer.h"

#include <algorithm>

#include "platform/PathComponent.h"

namespace velto::server {

namespace {

PartnerToneAnswer Refuse(std::string error) {
    PartnerToneAnswer result;
    result.error = std::move(error);
    return result;
}

}  // namespace

PartnerToneAnswer ParsePartnerToneAnswer(std::span<const uint8_t> answer) {
    PartnerToneAnswer result;
    result.valid = true;
    if (answer.empty() || answer[0] == 0) {
        return result;
    }
    result.ownsTones = true;
    size_t pos = 1;
    auto readText = [&](std::string& out) {
        const auto begin = answer.begin() + static_cast<std::ptrdiff_t>(pos);
        const auto end = std::find(begin, answer.end(), uint8_t{0});
        if (end == answer.end()) {
            return false;
        }
        out.assign(begin, end);
        pos += static_cast<size_t>(end - begin) + 1;
        return true;
    };
    while (pos < answer.size()) {
        PartnerToneEntry entry;
        const size_t entryStart = pos;
        if (!readText(entry.toneKey) || !readText(entry.remoteFileName) ||
            !readText(entry.addressPrefix) || !readText(entry.title) || !readText(entry.extra)) {
            return Refuse("partner tone list: entry at byte " + std::to_string(entryStart) +
                          " is cut short (" + std::to_string(answer.size()) + " bytes in all)");
        }
        // A tone key names a file in the user's partner-tone folder: nothing that leaves it.
        if (!platform::IsSafePathComponent(entry.toneKey)) {
            result.refused.push_back("partner tone list: entry at byte " +
                                     std::to_string(entryStart) +
                                     " has a tone key that is not a plain file name");
            continue;
        }
        result.entries.push_back(std::move(entry));
    }
    return result;
}

}  // namespace velto::server
