#pragma once

#include <string>

namespace velto::calls {

// One incoming call that was not taken.
struct MissedCall {
    std::string partnerHandle;
    // When the call handler began to handle the call, "%d/%02d/%02d %02d:%02d:%02d" local.
    std::string time;
    bool hasVoiceMessage = false;
    // The recording's full path; meaningful only with hasVoiceMessage.
    std::u16string voiceFile;

    bool operator==(const MissedCall&) const = default;
};

}  // namespace velto::calls
