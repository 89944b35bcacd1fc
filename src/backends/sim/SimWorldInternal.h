#pragma once

// Shared by the files that implement SimWorld; not for use outside the simulator.

#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "backends/sim/CallRecorder.h"
#include "backends/sim/SimWav.h"
#include "backends/sim/SimWorld.h"

namespace velto::skype::sim {

struct SimWorld::CallState_ {
    CallInfo info;
    CallerVoice voice;
    platform::Millis playingUntil{0};
    int playingSegment = -1;  // index in info.heard of the file now playing, or -1
    std::unique_ptr<CallRecorder> recorder;
    // The speaker's and the microphone's stretch now open in info (index), or -1.
    int speakerSegment = -1;
    int microphoneSegment = -1;
    std::vector<std::pair<uint64_t, std::function<void(CallChange)>>> watchers;
};

namespace world_detail {

inline bool IsFinal(CallStatus status) {
    switch (status) {
        case CallStatus::Failed:
        case CallStatus::Finished:
        case CallStatus::Missed:
        case CallStatus::Refused:
        case CallStatus::Busy:
        case CallStatus::Cancelled:
        case CallStatus::Transferred:
            return true;
        default:
            return false;
    }
}

inline bool IsRingingPhase(CallStatus status) {
    return status == CallStatus::Unplaced || status == CallStatus::Routing ||
           status == CallStatus::EarlyMedia || status == CallStatus::Ringing;
}

inline bool IsIncoming(CallType type) {
    return type == CallType::IncomingP2P || type == CallType::IncomingPstn;
}

inline std::string Upper(std::string text) {
    for (auto& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace world_detail
}  // namespace velto::skype::sim
