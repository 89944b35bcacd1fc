#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "callapi/Numbering.h"

// What the SIP thread's callbacks keep for the interface's getters, so that a getter never
// waits for the SIP thread. Guarded by SipBackend's lock.
namespace velto::skype::sip {

enum class Device { Input = 0, Output = 1, CaptureMic = 2 };

struct DeviceSetting {
    DeviceKind kind = DeviceKind::SoundCard;
    std::string text;
};

struct CallState {
    int32_t id = 0;
    std::string partnerHandle;
    std::string partnerDisplayName;
    CallStatus status = CallStatus::Ringing;
    DeviceSetting devices[3];
    // Answer was asked for (a second Answer fails, as it would for an answered call).
    bool answered = false;
    // True while the file set as input is being played into the call.
    bool inputPlaying = false;
    // The file the partner is being recorded into now; "" when not recording.
    std::string recordingSoFar;
};

struct ContactState {
    std::string handle;
    std::string uri;
    std::string fullName;
    std::string displayName;
    OnlineStatus onlineStatus = OnlineStatus::Offline;
    std::vector<std::string> groups{};
};

// One peer's application stream: the messages it sent that nobody has read yet.
struct StreamState {
    std::string partner;
    std::vector<std::string> waiting;
};

struct MirrorState {
    // Unknown until the stack's start has succeeded or failed.
    AttachmentStatus attachment = AttachmentStatus::Unknown;
    std::string userHandle;
    std::string userFullName;
    std::map<int32_t, CallState> calls;
    std::vector<ContactState> contacts;
    // Applications created with "CREATE APPLICATION NAME", with their streams by handle.
    std::map<std::string, std::map<std::string, StreamState>> applications;
};

}  // namespace velto::skype::sip
