#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "audio/WavSizes.h"
#include "backends/sip/RegistrationRetry.h"
#include "backends/sip/SipBackend.h"
#include "platform/Clock.h"

// The SIP stack's C types, declared here so that its headers stay in the engine's files.
struct _LinphoneCore;
struct _LinphoneAccount;
struct _LinphoneCall;
struct _LinphoneCallLog;
struct _LinphoneChatMessage;
struct _LinphoneFriend;
struct _LinphonePlayer;

namespace velto::skype::sip {

// The SIP stack (liblinphone) and everything done with it. SIP thread only: the backend
// posts every operation here, and the stack's callbacks run inside Turn.
class SipEngine {
  public:
    SipEngine(SipBackend& backend, const SipBackendOptions& options);
    // The core must have been shut down (Shutdown) on the SIP thread before.
    ~SipEngine();
    SipEngine(const SipEngine&) = delete;
    SipEngine& operator=(const SipEngine&) = delete;

    // Starts the stack; on failure the backend stays not available (and a port that is
    // taken is tried again later).
    void Startup();
    // Ends every call (BYE, or 603 for an unanswered one), waits at most a second for
    // the peers, and stops the stack.
    void Shutdown();
    // One iteration of the stack, plus the engine's own deadlines.
    void Turn();
    platform::Millis Interval() const;
    // The stack's SIP socket (UDP), for the loop to wake on; -1 while there is none.
    int StackSocket();

    void Answer(int32_t id);
    void Finish(int32_t id);
    void SetDevice(int32_t id, Device device, DeviceKind kind, const std::string& text);
    // Whether SetDevice does anything with this setting: a file in or out, and the sound
    // devices attached (the call taken). The others (the devices cut off, the capture
    // microphone) are how the stack runs a call anyway, so the backend keeps them to itself.
    static bool ActsOn(Device device, DeviceKind kind, const std::string& text);
    // A SIP MESSAGE to `uri`: text, or an application datagram in the private content type.
    void SendMessage(const std::string& uri, const std::string& text, bool datagram);
    // Reads the contact file (again): new contacts are subscribed to at once, removed ones
    // no longer, changed names and groups reach the getters. Nothing while the stack is off.
    void LoadContacts();
    // Reads the account again and registers with it: at once when only the password (or
    // nothing the stack holds) changed, else by starting the stack again once no call is on.
    void ReloadAccount();

    // Callbacks of the stack (public for the C trampolines).
    void OnGlobalState(int state, const char* message);
    void OnRegistration(_LinphoneAccount* account, int state, const char* message);
    void OnCallState(_LinphoneCall* call, int state);
    // The call's sound encrypted (`on`), with the ZRTP short authentication string `token`
    // when the keys were agreed on the media path.
    void OnEncryption(_LinphoneCall* call, bool on, const char* token);
    // A call's record at its end; for a call the stack refused by itself (no codec in
    // common: 488) the only sign of it.
    void OnCallLog(_LinphoneCallLog* log);
    void OnPresence(_LinphoneFriend* fr);
    void OnSubscriptionRequest(_LinphoneFriend* fr);
    void OnMessage(_LinphoneChatMessage* message);
    void OnMessageState(_LinphoneChatMessage* message, int state);
    void OnPlayerEnd(_LinphonePlayer* player);

  private:
    struct CallContext {
        _LinphoneCall* call = nullptr;
        int32_t id = 0;
        bool answerRequested = false;
        bool earlyStarted = false;
        std::string earlyFile;
        // The stack loops the early-media file by itself; the program is told of its end
        // after one length, as it would be of any file it plays, and then sets it again.
        std::optional<platform::Millis> earlyEnd;
        platform::Millis earlyDeadline{0};
        bool accepted = false;
        bool streamsRunning = false;
        bool declined = false;
        bool ended = false;
        bool playerHooked = false;
        // The file the call player plays into the answered call (empty: none).
        std::string playing;
        std::optional<std::string> pendingInput;
        bool takePending = false;
        bool taken = false;
        std::filesystem::path recordTemp;
        std::string recordTarget;
        bool recordPending = false;
        bool recording = false;
        // The recording could not be put in place and waits for the next start.
        bool recordKept = false;
        audio::PcmFormat recordFormat;
        platform::Millis nextHeader{0};
    };

    // Start-up, in the order StartCore runs them.
    bool StartCore(std::string& error, bool& retry);
    bool PrepareFiles(const SipSettings& s, std::filesystem::path& rc, std::string& error,
                      bool& retry);
    bool CreateCore(const std::filesystem::path& rc, std::string& error);
    void SetUpNetwork(const SipSettings& s);
    void SetUpMedia(const SipSettings& s);
    void EnableCodecs();
    bool SetUpTls(const SipSettings& s, std::string& error);
    bool SetUpAccount(const SipSettings& s, std::string& error);
    void SetAuth(const SipSettings& s);
    // Registration after a failure.
    static void WatchStackLog();
    void ScheduleRegistration(const std::string& reason);
    void TellRegistration(const std::string& line, RegistrationState state);
    // A registration sent (or, without a registrar, the stack ready for direct calls).
    void TellRegistering();
    // The state of an account that could not be used (or a stack that did not start).
    void TellNotStarted(const std::string& error, bool retry);
    void RetryRegistration();
    // True when the account read again differs from the one in use.
    bool AccountChanged();
    void StopCore();
    CallContext* Find(int32_t id);
    // True when as many calls are on as the settings allow.
    bool AtCallLimit() const;
    // The program's record of a call it refuses at once.
    CallState RefusedMirror(_LinphoneCall* call, CallStatus status);
    // Answers 486 and tells the program of the call, over.
    void RefuseBusy(_LinphoneCall* call);
    // True when ZRTP is mandatory and the caller's offer names none.
    bool LacksMandatoryZrtp(_LinphoneCall* call) const;
    // Answers 488 and tells the program of a missed call.
    void RefuseWithoutZrtp(_LinphoneCall* call);
    void StartEarlyMedia(CallContext& context, const std::string& file);
    void ArmEarlyEnd(CallContext& context);
    // The stack's play file (the ring-back before the answer) belongs to the core, not to
    // a call, and setting it also puts the file at once into the stack's "current" call,
    // the one answered last. True when that would cut into another answered call's sound:
    // this call's ring-back then goes out after a real answer, on its own call player.
    bool PlayFileWouldIntrude(const CallContext& context);
    void Accept(CallContext& context);
    void Play(CallContext& context, const std::string& file);
    void StopPlaying(CallContext& context);
    void Take(CallContext& context);
    void StartRecording(CallContext& context);
    void FinishRecording(CallContext& context);
    void RefreshRecordingHeader(CallContext& context);
    void StreamsRunning(CallContext& context);
    void Ended(CallContext& context);
    // Subscribes to the presence of a contact (or stops) in the stack's friend list.
    void Subscribe(const std::string& handle, const std::string& uri);
    void Unsubscribe(const std::string& uri);

    SipBackend& backend_;
    platform::Clock& clock_;
    SipSettingsResult settings_;
    std::filesystem::path contactsFile_;
    std::filesystem::path dataDir_;
    platform::Millis callInterval_;
    platform::Millis idleInterval_;
    platform::Millis retryInterval_;
    platform::Millis registerTimeout_;
    std::filesystem::path stackGrammar_;
    bool turnOverTls_;
    RegistrationRetry registerRetry_;
    std::function<SipSettingsResult()> rereadSettings_;
    std::shared_ptr<AccountLink> accountLink_;
    // A changed account waits for the calls under way.
    bool reloadPending_ = false;
    _LinphoneCore* core_ = nullptr;
    int stackSocket_ = -1;
    _LinphoneAccount* account_ = nullptr;  // the registering account; the core holds it
    std::optional<platform::Millis> registerRetryAt_;
    platform::Millis passwordCheck_;
    std::optional<platform::Millis> passwordCheckAt_;
    std::optional<platform::Millis> retryAt_;
    // While the first answer of the registrar is awaited.
    std::optional<platform::Millis> registerDeadline_;
    int32_t nextCallId_ = 0;
    std::map<_LinphoneCall*, CallContext> calls_;
    // SIP Call-IDs of the calls the program was told of, until their record comes.
    std::set<std::string> knownCallIds_;
    // Messages on their way: kept until their final state (the stack drops the state
    // callback of a message nobody holds).
    std::map<_LinphoneChatMessage*, std::string> sending_;
    std::vector<_LinphoneChatMessage*> done_;
    // Contact handle -> the contact's address, as the contact file has it.
    std::map<std::string, std::string> contactUris_;
};

}  // namespace velto::skype::sip
