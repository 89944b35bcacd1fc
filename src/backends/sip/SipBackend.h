#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "backends/sip/RegistrationRetry.h"
#include "backends/sip/SipLoop.h"
#include "backends/sip/SipState.h"
#include "callapi/Call.h"
#include "callapi/Event.h"
#include "callapi/EventPosting.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "sipaccount/AccountLink.h"
#include "sipaccount/SipSettings.h"

namespace velto::skype::sip {

class SipEngine;

struct SipBackendOptions {
    // Waits of the SIP thread (the real clock in the program).
    platform::Clock& clock;
    // The account as read from the user hive (an error there: the backend stays "not
    // available" and says why).
    SipSettingsResult settings;
    // Reads the account again (the password may have been fixed meanwhile); asked before a
    // failed registration is tried again. Empty: the settings above stay.
    std::function<SipSettingsResult()> rereadSettings{};
    // Where the registration state is told, and whence a changed account is taken (with
    // rereadSettings); null: nowhere.
    std::shared_ptr<AccountLink> accountLink{};
    // The user's contact file.
    std::filesystem::path contactsFile;
    // The first wait before a failed registration is tried again (it doubles from there,
    // up to five minutes).
    platform::Millis registerRetry{RegistrationRetry::kFirst};
    // While the registrar refuses the password: how often the account is read again, so
    // that a fixed password is used soon even when the next retry is minutes away.
    platform::Millis passwordCheck{30000};
    // The SIP stack's own state (created when missing; tests use a fresh one each run).
    std::filesystem::path dataDir;
    // Iteration of the stack: with a call, and without.
    platform::Millis callInterval{20};
    platform::Millis idleInterval{150};
    // How often a core that could not start is tried again.
    platform::Millis retryInterval{10000};
    // How long the registrar may take to answer before the account counts as not
    // available (the stack keeps trying, and an answer later attaches it).
    platform::Millis registerTimeout{10000};
    // A grammar file the stack reads when a SIP MESSAGE arrives, and aborts the whole
    // program without (Debian ships it apart, in linphone-common).
    std::filesystem::path stackGrammar{"/usr/share/belr/grammars/identity_grammar"};
    // A TURN server over TLS is refused (see kTurnTlsRefused) unless this is set: tests
    // set it to watch the stack's TLS client.
    bool turnOverTls = false;
};

// The automation interface's world on a SIP user agent: the SIP thread with the stack on
// it, the state its callbacks keep (read by the interface's getters from any thread), the
// Skype objects' clients and their event sinks. Shared by every interface object.
class SipBackend : public std::enable_shared_from_this<SipBackend> {
  public:
    // One Skype object created by the program, with the loop its events go to.
    struct Client : EventClient {
        using EventClient::EventClient;
        bool attachRequested = false;
        AttachmentStatus reported = AttachmentStatus::Unknown;
    };
    using ArgRef = EventArgRef;

    static std::shared_ptr<SipBackend> Create(SipBackendOptions options);
    // Ends every call and stops the stack (within about a second), then the thread.
    ~SipBackend();
    SipBackend(const SipBackend&) = delete;
    SipBackend& operator=(const SipBackend&) = delete;

    // --- clients (the Skype objects the program created) ---
    std::shared_ptr<Client> AddClient(platform::MessageLoop& loop);
    // The last client gone: calls end (BYE) and the stack stops until the next client.
    void RemoveClient(const std::shared_ptr<Client>& client);
    void Attach(const std::shared_ptr<Client>& client);
    AttachmentStatus Attachment() const;
    // Raises kNotAttached unless attached.
    void RequireAttached(const char* operation) const;

    // --- state for the getters (any thread) ---
    std::string UserHandle() const;
    std::string UserFullName() const;
    std::optional<ContactState> Contact(const std::string& handle) const;
    std::vector<std::string> ContactHandles() const;
    // Raises kInvalidArgument for an unknown call.
    CallState Call(int32_t id) const;
    std::string DeviceText(int32_t id, Device device, DeviceKind kind) const;
    std::vector<std::string> OpenStreams(const std::string& application) const;
    std::string StreamPartner(const std::string& application, const std::string& handle) const;
    int32_t StreamDataLength(const std::string& application, const std::string& handle) const;
    std::string StreamRead(const std::string& application, const std::string& handle);
    void StreamDisconnect(const std::string& application, const std::string& handle);
    std::string RunCommand(const std::string& text);

    // Subscribes to a call's changes (status, end of the input file); see Call::Watch.
    uint64_t Watch(int32_t id, std::function<void(CallChange)> changed);
    void Unwatch(uint64_t token);

    // --- operations (any thread; carried out on the SIP thread) ---
    void Answer(int32_t id);
    void Finish(int32_t id);
    void SetDevice(int32_t id, Device device, DeviceKind kind, const std::string& text);
    // The three at once: the SIP thread is sent the ones the engine acts on, in one task.
    void SetDevices(int32_t id, const DeviceSettings& devices);
    void ListenIn(int32_t id, bool on);
    void SendChat(const std::string& handle, const std::string& text);
    void SendDatagram(const std::string& handle, const std::string& text);
    // The account was changed: read it again and register with it (a changed identity,
    // proxy or network setting waits for the calls under way to end).
    void ReloadAccount();

    // --- from the engine (SIP thread) ---
    void SetAttachment(AttachmentStatus status);
    void SetUser(std::string handle, std::string fullName);
    // The contacts as the file has them now; those in `kept` keep the status they had.
    void SetContacts(std::vector<ContactState> contacts, const std::set<std::string>& kept = {});
    void ContactStatusChanged(const std::string& handle, OnlineStatus status);
    void CallAdded(CallState call);
    void CallStatusChanged(int32_t id, CallStatus status);
    void InputEnded(int32_t id);
    // The recording of the call is now in `file` ("" when it stopped).
    void RecordingChanged(int32_t id, std::string file);
    void DatagramReceived(const std::string& partner, const std::string& text);

    // For figures and tests.
    uint64_t Turns() const { return loop_.turns(); }
    bool OnSipThread() const { return loop_.OnLoopThread(); }

  private:
    explicit SipBackend(SipBackendOptions options);
    void PostLocked(Client& client, const PendingEvent& pending);
    void PostToAttachedLocked(const PendingEvent& pending);
    void ReportLocked(Client& client);
    void NotifyLocked(int32_t id, CallChange change);
    // Mirrors the setting for the getters; true when the engine acts on it.
    bool MirrorDeviceLocked(int32_t id, Device device, DeviceKind kind, const std::string& text);

    mutable std::mutex mutex_;
    MirrorState state_;
    std::vector<std::weak_ptr<Client>> clients_;
    struct Watcher {
        uint64_t token;
        int32_t id;
        std::function<void(CallChange)> changed;
    };
    std::vector<Watcher> watchers_;
    uint64_t nextWatch_ = 1;
    std::unique_ptr<SipEngine> engine_;
    std::shared_ptr<AccountLink> accountLink_;
    SipLoop loop_;
};

}  // namespace velto::skype::sip
