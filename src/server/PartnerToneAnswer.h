#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velto::server {

// One partner tone that the user owns, as the server lists it.
struct PartnerToneEntry {
    std::string toneKey;  // also the tone's local file name
    std::string remoteFileName;
    std::string addressPrefix;  // download address = prefix + remote file name
    std::string title;
    std::string extra;  // kept, not used

    std::string DownloadAddress() const { return addressPrefix + remoteFileName; }
    bool operator==(const PartnerToneEntry&) const = default;
};

struct PartnerToneAnswer {
    bool valid = false;      // false: the answer is refused (see error); nothing in it is used
    bool ownsTones = false;  // first byte not zero
    std::vector<PartnerToneEntry> entries;
    std::string error;
    // Entries left out one by one, each with the reason (for the requester's trace).
    std::vector<std::string> refused;
};

// Reads the answer to PARTNER_TONE_QUERY: a first byte (0: the user owns no partner
// tones), then entries of five zero-ended texts up to the end of the answer. An empty
// answer reads as "no partner tones". An entry cut short makes the whole answer invalid
// (nothing after it can be trusted to line up); an entry whose tone key is not a plain
// file name is left out and noted in `refused`, and the other entries stand.
PartnerToneAnswer ParsePartnerToneAnswer(std::span<const uint8_t> answer);

}  // namespace velto::server
