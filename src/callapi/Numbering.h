#pragma once

#include <cstdint>

// Skype's public numbering of states and kinds, as its automation library reports them.
// The values are fixed: code compares and traces them as integers.
namespace velto::skype {

enum class CallStatus : int32_t {
    Unknown = -1,
    Unplaced = 0,
    Routing = 1,
    EarlyMedia = 2,
    Failed = 3,
    Ringing = 4,
    InProgress = 5,
    OnHold = 6,
    Finished = 7,
    Missed = 8,
    Refused = 9,
    Busy = 10,
    Cancelled = 11,
    LocalHold = 12,
    RemoteHold = 13,
    VoicemailBufferingGreeting = 14,
    VoicemailPlayingGreeting = 15,
    VoicemailRecording = 16,
    VoicemailUploading = 17,
    VoicemailSent = 18,
    VoicemailCancelled = 19,
    VoicemailFailed = 20,
    Transferring = 21,
    Transferred = 22,
};

enum class CallType : int32_t {
    Unknown = -1,
    IncomingPstn = 0,  // from the telephone network
    OutgoingPstn = 1,  // to the telephone network
    IncomingP2P = 2,
    OutgoingP2P = 3,
};

enum class AttachmentStatus : int32_t {
    Unknown = -1,
    Success = 0,  // granted, attached
    PendingAuthorization = 1,
    Refused = 2,
    NotAvailable = 3,  // Skype not running, or nobody signed in
    Available = 4,     // Skype became available for attaching
};

// A contact's online status.
enum class OnlineStatus : int32_t {
    Unknown = -1,
    Offline = 0,
    Online = 1,
    Away = 2,
    NotAvailable = 3,
    DoNotDisturb = 4,
    SkypeOut = 5,
    SkypeMe = 6,
};

// The signed-in user's own status (event UserStatus).
enum class UserStatus : int32_t {
    Unknown = -1,
    Offline = 0,
    Online = 1,
    Away = 2,
    NotAvailable = 3,
    DoNotDisturb = 4,
    Invisible = 5,
    LoggedOut = 6,
    SkypeMe = 7,
};

// What a call's input, output or capture-microphone device is connected to.
enum class DeviceKind : int32_t {
    Unknown = -1,
    SoundCard = 0,
    Port = 1,
    File = 2,
};

// Video send or receive status of a call.
enum class VideoStatus : int32_t {
    Unknown = -1,
    NotAvailable = 0,
    Available = 1,
    Starting = 2,
    Rejected = 3,
    Running = 4,
    Stopping = 5,
    Paused = 6,
};

// The attach protocol the program asks for.
constexpr int32_t kAttachProtocol = 8;

template <typename E>
constexpr int32_t ToInt(E value) {
    return static_cast<int32_t>(value);
}

}  // namespace velto::skype
