#include "backends/sim/SimObjects.h"

#include "callapi/AutomationError.h"

namespace velto::skype::sim {

// --- Skype ---

void SimSkype::Attach(int32_t, bool) {
    Check("Attach");
    backend_->ClientAttach(client_);
}

skype::AttachmentStatus SimSkype::AttachmentStatus() {
    Check("AttachmentStatus");
    return backend_->ClientStatus(*client_);
}

std::string SimSkype::CurrentUserHandle() {
    Check("CurrentUserHandle");
    backend_->RequireAttached(*client_, "CurrentUserHandle");
    return backend_->CurrentUserHandle();
}

std::shared_ptr<User> SimSkype::CurrentUser() {
    Check("CurrentUser");
    backend_->RequireAttached(*client_, "CurrentUser");
    return std::make_shared<SimUser>(backend_, backend_->CurrentUserHandle());
}

std::string SimSkype::Version() {
    Check("Version");
    backend_->RequireAttached(*client_, "Version");
    return backend_->Version();
}

std::shared_ptr<UserCollection> SimSkype::Friends() {
    Check("Friends");
    backend_->RequireAttached(*client_, "Friends");
    return std::make_shared<SimUserCollection>(backend_, backend_->FriendHandles());
}

std::shared_ptr<Command> SimSkype::CreateCommand() {
    Check("CreateCommand");
    return std::make_shared<SimCommand>(backend_);
}

void SimSkype::SendCommand(const std::shared_ptr<Command>& command) {
    Check("SendCommand");
    backend_->RequireAttached(*client_, "SendCommand");
    if (!command) {
        throw AutomationError(kInvalidArgument, "SendCommand: no command");
    }
    std::string reply = backend_->RunCommand(command->CommandText());
    if (auto* own = dynamic_cast<SimCommand*>(command.get())) {
        own->SetReply(reply);
    }
}

std::shared_ptr<skype::Application> SimSkype::Application(const std::string& name) {
    Check("Application");
    backend_->RequireAttached(*client_, "Application");
    return std::make_shared<SimApplication>(backend_, name);
}

void SimSkype::SendMessage(const std::string& handle, const std::string& text) {
    Check("SendMessage");
    backend_->RequireAttached(*client_, "SendMessage");
    backend_->SendChat(handle, text);
}

bool SimSkype::Advise(EventSink& sink) {
    Check("Advise");
    return client_->Advise(sink);
}

void SimSkype::Unadvise(EventSink& sink) {
    Check("Unadvise");
    client_->Unadvise(sink);
}

platform::Cookie SimSkype::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    return table.RegisterFactory<Skype>(
        [world = backend_, client = client_]() -> std::shared_ptr<Skype> {
            return std::make_shared<SimSkype>(world, client);
        });
}

// --- Call ---

std::string SimCall::PartnerHandle() {
    Check("PartnerHandle");
    return backend_->PartnerHandleOf(id_);
}

std::string SimCall::PartnerDisplayName() {
    Check("PartnerDisplayName");
    return backend_->PartnerDisplayNameOf(id_);
}

CallType SimCall::Type() {
    Check("Type");
    return backend_->TypeOf(id_);
}

CallStatus SimCall::Status() {
    Check("Status");
    return backend_->StatusOf(id_);
}

bool SimCall::InputStillPlaying() {
    Check("InputStillPlaying");
    return backend_->InputPlaying(id_);
}

std::string SimCall::RecordingSoFar() {
    Check("RecordingSoFar");
    return backend_->RecordingSoFar(id_);
}

VideoStatus SimCall::VideoSendStatus() {
    Check("VideoSendStatus");
    return backend_->VideoStatusOf(id_, true);
}

VideoStatus SimCall::VideoReceiveStatus() {
    Check("VideoReceiveStatus");
    return backend_->VideoStatusOf(id_, false);
}

void SimCall::StartVideoSend() {
    Check("StartVideoSend");
    backend_->SetVideo(id_, true, true);
}

void SimCall::StopVideoSend() {
    Check("StopVideoSend");
    backend_->SetVideo(id_, true, false);
}

void SimCall::StartVideoReceive() {
    Check("StartVideoReceive");
    backend_->SetVideo(id_, false, true);
}

void SimCall::StopVideoReceive() {
    Check("StopVideoReceive");
    backend_->SetVideo(id_, false, false);
}

namespace {

class SimCallWatch final : public CallWatch {
  public:
    SimCallWatch(std::shared_ptr<SimWorld> world, int32_t id, uint64_t token)
        : backend_(std::move(world)), id_(id), token_(token) {}
    ~SimCallWatch() override { backend_->Unwatch(id_, token_); }

  private:
    std::shared_ptr<SimWorld> backend_;
    int32_t id_;
    uint64_t token_;
};

}  // namespace

std::unique_ptr<CallWatch> SimCall::Watch(std::function<void(CallChange)> changed) {
    Check("Watch");
    return std::make_unique<SimCallWatch>(backend_, id_, backend_->Watch(id_, std::move(changed)));
}

platform::Cookie SimCall::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    return table.RegisterFactory<Call>([world = backend_, id = id_]() -> std::shared_ptr<Call> {
        return std::make_shared<SimCall>(world, id);
    });
}

// --- User ---

SimContact SimUser::Read(const char* operation) {
    Check(operation);
    auto contact = backend_->FindUser(handle_);
    if (!contact) {
        // Skype still answers for a user it no longer lists: the handle alone.
        SimContact unknown;
        unknown.handle = handle_;
        unknown.onlineStatus = skype::OnlineStatus::Unknown;
        return unknown;
    }
    return *contact;
}

std::string SimUser::Handle() {
    return Read("Handle").handle;
}

std::string SimUser::FullName() {
    return Read("FullName").fullName;
}

std::string SimUser::DisplayName() {
    return Read("DisplayName").displayName;
}

std::vector<std::string> SimUser::Groups() {
    Check("Groups");
    return backend_->Groups(handle_);
}

skype::OnlineStatus SimUser::OnlineStatus() {
    return Read("OnlineStatus").onlineStatus;
}

bool SimUser::IsBlocked() {
    return Read("IsBlocked").blocked;
}

platform::Cookie SimUser::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    return table.RegisterFactory<User>(
        [world = backend_, handle = handle_]() -> std::shared_ptr<User> {
            return std::make_shared<SimUser>(world, handle);
        });
}

}  // namespace velto::skype::sim
