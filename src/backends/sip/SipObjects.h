#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backends/sip/SipBackend.h"
#include "callapi/BoundCall.h"
#include "callapi/BoundObjects.h"
#include "callapi/Skype.h"
#include "callapi/ThreadBound.h"

// The automation objects on the SIP backend. Each is a reference bound to the thread that
// obtained it, as the simulator's are; getters read the state the SIP thread keeps, and
// operations are handed to the SIP thread.
namespace velto::skype::sip {

class SipUser;
using SipCommand = BoundCommand<SipBackend>;
using SipUserCollection = BoundUserCollection<SipBackend, SipUser>;
using SipApplication = BoundApplication<SipBackend>;
using SipStream = BoundStream<SipBackend>;
using SipStreamCollection = BoundStreamCollection<SipBackend>;

// The program's hold on the backend: while one lives, the SIP stack runs.
class ClientLease {
  public:
    ClientLease(std::shared_ptr<SipBackend> backend, platform::MessageLoop& loop)
        : backend_(std::move(backend)), client_(backend_->AddClient(loop)) {}
    ~ClientLease() { backend_->RemoveClient(client_); }
    ClientLease(const ClientLease&) = delete;
    ClientLease& operator=(const ClientLease&) = delete;
    SipBackend::Client& client() { return *client_; }
    const std::shared_ptr<SipBackend::Client>& shared() { return client_; }

  private:
    std::shared_ptr<SipBackend> backend_;
    std::shared_ptr<SipBackend::Client> client_;
};

class SipSkype final : public Skype, private ThreadBound<SipBackend> {
  public:
    // The object the program created owns the lease; those obtained from the interface
    // table only see it, and fail with kNotAttached once the program let it go.
    SipSkype(std::shared_ptr<SipBackend> backend, std::shared_ptr<ClientLease> owned,
             std::weak_ptr<ClientLease> seen)
        : ThreadBound(std::move(backend), "Skype"),
          owned_(std::move(owned)),
          seen_(std::move(seen)) {}

    void Attach(int32_t protocol, bool wait) override;
    skype::AttachmentStatus AttachmentStatus() override;
    std::string CurrentUserHandle() override;
    std::shared_ptr<User> CurrentUser() override;
    std::string Version() override;
    std::shared_ptr<UserCollection> Friends() override;
    std::shared_ptr<Command> CreateCommand() override;
    void SendCommand(const std::shared_ptr<Command>& command) override;
    std::shared_ptr<skype::Application> Application(const std::string& name) override;
    void SendMessage(const std::string& handle, const std::string& text) override;
    bool Advise(EventSink& sink) override;
    void Unadvise(EventSink& sink) override;
    platform::Cookie RegisterIn(platform::InterfaceTable& table) override;

  private:
    std::shared_ptr<ClientLease> Lease(const char* operation) const;
    std::shared_ptr<ClientLease> owned_;
    std::weak_ptr<ClientLease> seen_;
};

class SipCall final : public BoundCall<SipBackend, Device> {
  public:
    SipCall(std::shared_ptr<SipBackend> backend, int32_t id) : BoundCall(std::move(backend), id) {}

    std::string PartnerHandle() override;
    std::string PartnerDisplayName() override;
    CallType Type() override;
    CallStatus Status() override;
    bool InputStillPlaying() override;
    std::string RecordingSoFar() override;
    VideoStatus VideoSendStatus() override;
    VideoStatus VideoReceiveStatus() override;
    void StartVideoSend() override;
    void StopVideoSend() override;
    void StartVideoReceive() override;
    void StopVideoReceive() override;
    void SetDevices(const DeviceSettings& devices) override;
    using Call::Watch;
    std::unique_ptr<CallWatch> Watch(std::function<void(CallChange)> changed) override;
    platform::Cookie RegisterIn(platform::InterfaceTable& table) override;
};

class SipUser final : public User, private ThreadBound<SipBackend> {
  public:
    SipUser(std::shared_ptr<SipBackend> backend, std::string handle)
        : ThreadBound(std::move(backend), "User"), handle_(std::move(handle)) {}

    std::string Handle() override;
    std::string FullName() override;
    std::string DisplayName() override;
    std::vector<std::string> Groups() override;
    skype::OnlineStatus OnlineStatus() override;
    bool IsBlocked() override;
    platform::Cookie RegisterIn(platform::InterfaceTable& table) override;

  private:
    ContactState Read(const char* operation);
    std::string handle_;
};

}  // namespace velto::skype::sip
