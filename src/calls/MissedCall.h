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
    // The user has played the voice message; meaningful only with hasVoiceMessage.
    bool heard = false;
    // The call was refused unanswered because the user or the line was busy (a rule that
    // refuses, or too many calls at once).
    bool busy = false;

    bool operator==(const MissedCall&) const = default;
};

}  // namespace velto::calls
