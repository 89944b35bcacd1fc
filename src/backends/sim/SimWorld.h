#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "backends/sim/ClockAlarm.h"
#include "backends/sim/HeardTimeline.h"
#include "callapi/Call.h"
#include "callapi/Event.h"
#include "callapi/EventPosting.h"
#include "callapi/Numbering.h"
#include "callapi/SkypeFactory.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"

namespace velto::skype::sim {

struct SimContact {
    std::string handle;
    std::string fullName;
    std::string displayName;
    skype::OnlineStatus onlineStatus = skype::OnlineStatus::Offline;
    bool blocked = false;  // kept out of the contact list
};

enum class Device { Input, Output, CaptureMic };

struct DeviceSetting {
    DeviceKind kind = DeviceKind::SoundCard;
    std::string text = "default";
    bool operator==(const DeviceSetting&) const = default;
};

struct DeviceChange {
    platform::Millis at{0};
    Device device = Device::Input;
    DeviceSetting setting;
};

struct CallOptions {
    CallType type = CallType::IncomingP2P;
    // Empty: the contact's display name.
    std::string partnerDisplayName;
    // The caller's voice as recorded through a file output; empty (or not a 16-bit mono
    // 16000 Hz WAV) gives a generated 440 Hz tone.
    std::filesystem::path voiceFile;
    // The caller speaks for this much of the recording, then is silent; nothing: all along.
    std::optional<platform::Millis> talksFor;
    VideoStatus videoSend = VideoStatus::NotAvailable;
    VideoStatus videoReceive = VideoStatus::NotAvailable;
};

// What happened to one call so far.
struct CallInfo {
    int32_t id = 0;
    std::string partnerHandle;
    std::string partnerDisplayName;
    CallType type = CallType::Unknown;
    CallStatus status = CallStatus::Unknown;
    std::vector<CallStatus> statusHistory;  // every status it had, in order
    DeviceSetting input, output, captureMic;
    std::vector<DeviceChange> deviceChanges;
    std::vector<HeardSegment> heard;  // files the caller heard, in the order they started
    int silentPlays = 0;              // files set as input that played for no time
    std::vector<std::filesystem::path> recordings;  // files the caller's voice went into
    // What the computer's sound output played of the call: the caller's voice (file
    // "caller") while the program listened in or had the devices attached, and when the
    // caller heard the computer's microphone (file "microphone"). A stretch still going
    // on ends at the moment of the snapshot.
    std::vector<HeardSegment> localOutput;
    std::vector<HeardSegment> heardUser;
    bool listening = false;
    std::vector<std::string> recordingErrors;
    VideoStatus videoSend = VideoStatus::NotAvailable;
    VideoStatus videoReceive = VideoStatus::NotAvailable;
    int videoSendStops = 0, videoSendStarts = 0, videoReceiveStops = 0, videoReceiveStarts = 0;
    int answers = 0;
    int finishes = 0;
    // How often the program asked for the status and whether the input still plays: what
    // a worker that waits for events instead of polling keeps low.
    int statusReads = 0;
    int inputReads = 0;
};

struct ChatMessage {
    platform::Millis at{0};
    std::string handle;
    std::string text;
};

struct ReceivedCommand {
    platform::Millis at{0};
    std::string text;
    std::string reply;
};

// How Skype answers an attach request from a program it has not been allowed to serve.
enum class AuthorizationPolicy {
    AskUser,  // pending authorisation until UserGrants/UserRefuses
    Grant,    // granted at once
    Refuse,   // refused at once
};

// The simulated Skype client and everything around it: who is signed in, contacts, calls
// and callers, other copies of the program on the far side of application streams. Tests
// and scenarios script it; the program reaches it only through the automation interface
// (it is a SkypeFactory).
//
// Rules it keeps, as the real client does: events are posted to the message loop of the
// thread that created the Skype object and run there; an object obtained on one thread
// and used on another fails with kWrongThread and is noted in ThreadViolations(); an
// attachment status event is raised only when a program's status changes (unless
// BroadcastAttachmentStatus forces one); a call's input file plays for the file's duration
// on the injected clock; a file output receives the caller's voice while the call is in
// progress.
class SimWorld : public SkypeFactory, public std::enable_shared_from_this<SimWorld> {
  public:
    static std::shared_ptr<SimWorld> Create(platform::Clock& clock);
    ~SimWorld() override;

    // --- SkypeFactory ---
    std::shared_ptr<Skype> CreateSkype(platform::MessageLoop& loop) override;
    // False makes CreateSkype return null (no automation component installed).
    void SetCreatable(bool creatable);

    // --- the client ---
    void SetVersion(std::string version);
    void SetCurrentUser(std::string handle, std::string fullName, std::string displayName);
    void SetAuthorizationPolicy(AuthorizationPolicy policy);
    void StartSkype();  // running, nobody signed in yet
    void SignIn();      // starts Skype too when needed
    void SignOut();
    void ExitSkype();  // ends every call
    // The user's answer to "allow this program?"; remembered for later attach requests.
    void UserGrants();
    void UserRefuses();
    // Reports `status` to every program as it is, changed or not (for odd sequences).
    void BroadcastAttachmentStatus(AttachmentStatus status);
    void SetUserStatus(UserStatus status);
    // Skype answers incoming calls by itself; the program's Answer then fails.
    void SetAutoAnswer(bool on);
    // Listening in fails (as on a backend that cannot do it).
    void SetListenInRefused(bool refused);
    int AttachRequests() const;
    bool IsSignedIn() const;

    // --- contacts ---
    void AddContact(SimContact contact);
    void RemoveContact(const std::string& handle);
    // Raises the online-status event when the status changes.
    void SetOnlineStatus(const std::string& handle, skype::OnlineStatus status);
    void SetBlocked(const std::string& handle, bool blocked);
    std::vector<SimContact> Contacts() const;
    // The groups the user put a contact in (the address book's categories).
    void SetGroups(const std::string& handle, std::vector<std::string> groups);
    std::vector<std::string> Groups(const std::string& handle) const;

    // --- calls ---
    // A new call from `handle`, ringing (status 4); returns its id.
    int32_t IncomingCall(const std::string& handle, CallOptions options = {});
    // A call the signed-in user places to `handle`, routing (status 1).
    int32_t OutgoingCall(const std::string& handle);
    void SetCallStatus(int32_t id, CallStatus status);
    // The partner hangs up: a ringing call is missed, a call in progress finished.
    void CallerHangsUp(int32_t id);
    void SetVideoStatus(int32_t id, VideoStatus send, VideoStatus receive);
    CallInfo CallSnapshot(int32_t id) const;  // throws std::out_of_range for an unknown id
    std::vector<int32_t> CallIds() const;
    // The longest silence in what the caller heard (see LongestGap).
    platform::Millis LongestToneGap(int32_t id) const;

    // --- what the program sent ---
    std::vector<ChatMessage> ChatMessages() const;
    std::vector<ReceivedCommand> Commands() const;

    // --- applications and their streams ---
    bool HasApplication(const std::string& name) const;
    // A peer's copy of the application opens a stream; returns its handle ("" when the
    // application was not created).
    std::string ConnectStream(const std::string& app, const std::string& peerHandle);
    // The peer sends `text` on the stream (each text is read as one message).
    void PeerSends(const std::string& app, const std::string& streamHandle,
                   const std::string& text);
    void PeerDisconnects(const std::string& app, const std::string& streamHandle);
    std::vector<std::string> StreamHandles(const std::string& app) const;
    // Messages still waiting on a stream.
    int PendingMessages(const std::string& app, const std::string& streamHandle) const;

    // --- rules ---
    std::vector<std::string> ThreadViolations() const;

    platform::Clock& clock() const { return clock_; }

    // --- used by the simulated objects (not for scripts) ---
    // One created Skype object: the program's side of the attachment.
    struct Client : EventClient {
        using EventClient::EventClient;
        std::thread::id owner;
        AttachmentStatus status = AttachmentStatus::Unknown;
        bool attachRequested = false;
    };
    void RecordViolation(const std::string& what);
    void ClientAttach(const std::shared_ptr<Client>& client);
    AttachmentStatus ClientStatus(const Client& client) const;
    void RequireAttached(const Client& client, const char* operation) const;
    std::string CurrentUserHandle() const;
    std::string Version() const;
    std::optional<SimContact> FindUser(const std::string& handle) const;
    std::vector<std::string> FriendHandles() const;
    std::string RunCommand(const std::string& text);
    void SendChat(const std::string& handle, const std::string& text);

    CallInfo CallState(int32_t id) const;
    // Single properties of a call, read without copying its history.
    std::string PartnerHandleOf(int32_t id) const;
    std::string PartnerDisplayNameOf(int32_t id) const;
    CallType TypeOf(int32_t id) const;
    CallStatus StatusOf(int32_t id);
    VideoStatus VideoStatusOf(int32_t id, bool send) const;
    // `changed` runs (under the world's lock, on the thread that made the change, or on
    // the alarm's for the end of an input file) after each change of the call's status or
    // video status and when its input file has played; Unwatch ends it.
    uint64_t Watch(int32_t id, std::function<void(CallChange)> changed);
    void Unwatch(int32_t id, uint64_t token);
    bool InputPlaying(int32_t id);
    // The file the caller's voice goes into, written up to now; "" when none.
    std::string RecordingSoFar(int32_t id);
    std::string DeviceText(int32_t id, Device device, DeviceKind kind);
    void SetDevice(int32_t id, Device device, DeviceKind kind, const std::string& text);
    void ListenIn(int32_t id, bool on);
    void Answer(int32_t id);
    void Finish(int32_t id);
    void SetVideo(int32_t id, bool send, bool start);

    std::vector<std::string> OpenStreams(const std::string& app) const;
    int32_t StreamDataLength(const std::string& app, const std::string& handle) const;
    std::string StreamRead(const std::string& app, const std::string& handle);
    void StreamDisconnect(const std::string& app, const std::string& handle);
    std::string StreamPartner(const std::string& app, const std::string& handle) const;

    using ArgRef = EventArgRef;
    using PendingEvent = skype::PendingEvent;

  private:
    struct CallState_;
    struct Stream {
        std::string handle;
        std::string partner;
        std::vector<std::string> pending;
    };
    struct App {
        bool created = false;
        std::vector<Stream> streams;
    };

    explicit SimWorld(platform::Clock& clock);

    // Each helper below runs with mutex_ held.
    void PumpLocked();
    CallState_& CallLocked(int32_t id);
    const CallState_& CallLocked(int32_t id) const;
    void EndLocked(CallState_& call, CallStatus ringingIncoming, CallStatus ringingOutgoing);
    void SetStatusLocked(CallState_& call, CallStatus status);
    void NotifyWatchersLocked(CallState_& call, CallChange change);
    // The alarm's moment: the earliest end of an input file still playing.
    void ScheduleInputEndsLocked();
    // On the alarm's thread: reports every input file that has played to its end.
    void ReportInputEnds();
    SimContact* ContactLocked(const std::string& handle);
    void EndInputLocked(CallState_& call);
    void EndRecordingLocked(CallState_& call);
    // Opens or closes the stretches of the computer's speaker and microphone in the call.
    void UpdateLocalSoundLocked(CallState_& call);
    void SetClientStatusLocked(Client& client, AttachmentStatus status, bool force);
    void EvaluateAttachLocked(Client& client);
    void ReevaluateAllLocked();
    void PostLocked(Client& client, PendingEvent pending);
    void PostToAttachedLocked(const PendingEvent& pending);
    void StreamsChangedLocked(const std::string& app);
    Stream* FindStreamLocked(const std::string& app, const std::string& handle);
    const Stream* FindStreamLocked(const std::string& app, const std::string& handle) const;

    platform::Clock& clock_;
    mutable std::mutex mutex_;
    bool creatable_ = true;
    std::string version_ = "3.8.0.180";
    SimContact me_{"velto.user", "Velto User", "Velto User", skype::OnlineStatus::Online, false};
    AuthorizationPolicy policy_ = AuthorizationPolicy::Grant;
    std::optional<bool> authorized_;  // the user's remembered answer
    bool running_ = false;
    bool signedIn_ = false;
    bool autoAnswer_ = false;
    bool listenInRefused_ = false;
    int attachRequests_ = 0;
    std::vector<std::weak_ptr<Client>> clients_;
    // In Skype's order, with an index by handle: every look-up of a user is one step.
    std::vector<SimContact> contacts_;
    std::map<std::string, std::vector<std::string>> groups_;
    std::unordered_map<std::string, size_t> contactIndex_;
    std::map<int32_t, std::unique_ptr<CallState_>> calls_;
    // The calls whose output records the caller: only these move with time.
    std::set<int32_t> recording_;
    // The calls whose input file has yet to be reported as played to its end.
    std::set<int32_t> inputEnds_;
    uint64_t nextWatch_ = 1;
    int32_t nextCallId_ = 101;
    std::vector<ChatMessage> chats_;
    std::vector<ReceivedCommand> commands_;
    std::map<std::string, App> apps_;
    int nextStream_ = 1;
    std::vector<std::string> violations_;
    std::unique_ptr<ClockAlarm> alarm_;  // last: it rings into the members above
};

}  // namespace velto::skype::sim
