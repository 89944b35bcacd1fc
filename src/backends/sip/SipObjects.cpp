#include "backends/sip/SipObjects.h"

#include <linphone/core.h>

#include "backends/sip/PartnerName.h"
#include "callapi/AutomationError.h"

namespace velto::skype::sip {

// --- Skype ---

std::shared_ptr<ClientLease> SipSkype::Lease(const char* operation) const {
    auto lease = owned_ ? owned_ : seen_.lock();
    if (!lease) {
        throw AutomationError(kNotAttached, std::string(operation) + ": the Skype object is gone");
    }
    return lease;
}

void SipSkype::Attach(int32_t, bool) {
    Check("Attach");
    backend_->Attach(Lease("Attach")->shared());
}

skype::AttachmentStatus SipSkype::AttachmentStatus() {
    Check("AttachmentStatus");
    return backend_->Attachment();
}

std::string SipSkype::CurrentUserHandle() {
    Check("CurrentUserHandle");
    backend_->RequireAttached("CurrentUserHandle");
    return backend_->UserHandle();
}

std::shared_ptr<User> SipSkype::CurrentUser() {
    Check("CurrentUser");
    backend_->RequireAttached("CurrentUser");
    return std::make_shared<SipUser>(backend_, backend_->UserHandle());
}

std::string SipSkype::Version() {
    Check("Version");
    backend_->RequireAttached("Version");
    // The program reads the first digit as the client's major version.
    return std::string("3.8 SIP liblinphone ") + linphone_core_get_version();
}

std::shared_ptr<UserCollection> SipSkype::Friends() {
    Check("Friends");
    backend_->RequireAttached("Friends");
    return std::make_shared<SipUserCollection>(backend_, backend_->ContactHandles());
}

std::shared_ptr<Command> SipSkype::CreateCommand() {
    Check("CreateCommand");
    return std::make_shared<SipCommand>(backend_);
}

void SipSkype::SendCommand(const std::shared_ptr<Command>& command) {
    Check("SendCommand");
    backend_->RequireAttached("SendCommand");
    if (!command) {
        throw AutomationError(kInvalidArgument, "SendCommand: no command");
    }
    const std::string reply = backend_->RunCommand(command->CommandText());
    if (auto* own = dynamic_cast<SipCommand*>(command.get())) {
        own->SetReply(reply);
    }
}

std::shared_ptr<skype::Application> SipSkype::Application(const std::string& name) {
    Check("Application");
    backend_->RequireAttached("Application");
    return std::make_shared<SipApplication>(backend_, name);
}

void SipSkype::SendMessage(const std::string& handle, const std::string& text) {
    Check("SendMessage");
    backend_->RequireAttached("SendMessage");
    backend_->SendChat(handle, text);
}

bool SipSkype::Advise(EventSink& sink) {
    Check("Advise");
    return Lease("Advise")->client().Advise(sink);
}

void SipSkype::Unadvise(EventSink& sink) {
    Check("Unadvise");
    if (auto lease = owned_ ? owned_ : seen_.lock()) {
        lease->client().Unadvise(sink);
    }
}

platform::Cookie SipSkype::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    std::weak_ptr<ClientLease> seen = owned_ ? std::weak_ptr<ClientLease>(owned_) : seen_;
    return table.RegisterFactory<Skype>([backend = backend_, seen]() -> std::shared_ptr<Skype> {
        return std::make_shared<SipSkype>(backend, nullptr, seen);
    });
}

// --- Call ---

std::string SipCall::PartnerHandle() {
    Check("PartnerHandle");
    return backend_->Call(id_).partnerHandle;
}

std::string SipCall::PartnerDisplayName() {
    Check("PartnerDisplayName");
    const CallState call = backend_->Call(id_);
    const auto contact = backend_->Contact(call.partnerHandle);
    return PartnerName(call.partnerDisplayName, contact ? &*contact : nullptr, call.partnerHandle);
}

CallType SipCall::Type() {
    Check("Type");
    backend_->Call(id_);
    return CallType::IncomingP2P;  // the program places no calls
}

CallStatus SipCall::Status() {
    Check("Status");
    return backend_->Call(id_).status;
}

bool SipCall::InputStillPlaying() {
    Check("InputStillPlaying");
    return backend_->Call(id_).inputPlaying;
}

std::string SipCall::RecordingSoFar() {
    Check("RecordingSoFar");
    return backend_->Call(id_).recordingSoFar;
}

// Calls carry audio only: video is never available, and asking for it changes nothing.
VideoStatus SipCall::VideoSendStatus() {
    Check("VideoSendStatus");
    return VideoStatus::NotAvailable;
}

VideoStatus SipCall::VideoReceiveStatus() {
    Check("VideoReceiveStatus");
    return VideoStatus::NotAvailable;
}

void SipCall::StartVideoSend() {
    Check("StartVideoSend");
}

void SipCall::StopVideoSend() {
    Check("StopVideoSend");
}

void SipCall::StartVideoReceive() {
    Check("StartVideoReceive");
}

void SipCall::StopVideoReceive() {
    Check("StopVideoReceive");
}

namespace {

class SipCallWatch final : public CallWatch {
  public:
    SipCallWatch(std::shared_ptr<SipBackend> backend, uint64_t token)
        : backend_(std::move(backend)), token_(token) {}
    ~SipCallWatch() override { backend_->Unwatch(token_); }

  private:
    std::shared_ptr<SipBackend> backend_;
    uint64_t token_;
};

}  // namespace

void SipCall::SetDevices(const DeviceSettings& devices) {
    Check("SetDevices");
    backend_->SetDevices(id_, devices);
}

std::unique_ptr<CallWatch> SipCall::Watch(std::function<void(CallChange)> changed) {
    Check("Watch");
    return std::make_unique<SipCallWatch>(backend_, backend_->Watch(id_, std::move(changed)));
}

platform::Cookie SipCall::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    return table.RegisterFactory<Call>([backend = backend_, id = id_]() -> std::shared_ptr<Call> {
        return std::make_shared<SipCall>(backend, id);
    });
}

// --- User ---

ContactState SipUser::Read(const char* operation) {
    Check(operation);
    if (handle_ == backend_->UserHandle()) {
        return ContactState{
            handle_, "sip:" + handle_, backend_->UserFullName(), {}, OnlineStatus::Online};
    }
    if (auto contact = backend_->Contact(handle_)) {
        return *contact;
    }
    return ContactState{handle_, "sip:" + handle_, {}, {}, OnlineStatus::Unknown};
}

std::string SipUser::Handle() {
    return Read("Handle").handle;
}

std::string SipUser::FullName() {
    return Read("FullName").fullName;
}

std::string SipUser::DisplayName() {
    return Read("DisplayName").displayName;
}

std::vector<std::string> SipUser::Groups() {
    return Read("Groups").groups;
}

skype::OnlineStatus SipUser::OnlineStatus() {
    return Read("OnlineStatus").onlineStatus;
}

bool SipUser::IsBlocked() {
    Read("IsBlocked");
    // A contact the user removed is kept out of the list from then on.
    return handle_ != backend_->UserHandle() && !backend_->Contact(handle_);
}

platform::Cookie SipUser::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    return table.RegisterFactory<User>(
        [backend = backend_, handle = handle_]() -> std::shared_ptr<User> {
            return std::make_shared<SipUser>(backend, handle);
        });
}

}  // namespace velto::skype::sip
