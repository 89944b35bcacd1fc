#include "skype/sim/SimObjects.h"

#include "skype/api/AutomationError.h"

namespace velto::skype::sim {

void ThreadBound::Check(const char* operation) const {
    if (std::this_thread::get_id() == owner_) {
        return;
    }
    std::string what =
        std::string(kind_) + "::" + operation + " used on a thread that did not obtain the object";
    world_->RecordViolation(what);
    throw AutomationError(kWrongThread, what);
}

// --- Skype ---

void SimSkype::Attach(int32_t, bool) {
    Check("Attach");
    world_->ClientAttach(client_);
}

skype::AttachmentStatus SimSkype::AttachmentStatus() {
    Check("AttachmentStatus");
    return world_->ClientStatus(*client_);
}

std::string SimSkype::CurrentUserHandle() {
    Check("CurrentUserHandle");
    world_->RequireAttached(*client_, "CurrentUserHandle");
    return world_->CurrentUserHandle();
}

std::shared_ptr<User> SimSkype::CurrentUser() {
    Check("CurrentUser");
    world_->RequireAttached(*client_, "CurrentUser");
    return std::make_shared<SimUser>(world_, world_->CurrentUserHandle());
}

std::string SimSkype::Version() {
    Check("Version");
    world_->RequireAttached(*client_, "Version");
    return world_->Version();
}

std::shared_ptr<UserCollection> SimSkype::Friends() {
    Check("Friends");
    world_->RequireAttached(*client_, "Friends");
    return std::make_shared<SimUserCollection>(world_, world_->FriendHandles());
}

std::shared_ptr<Command> SimSkype::CreateCommand() {
    Check("CreateCommand");
    return std::make_shared<SimCommand>(world_);
}

void SimSkype::SendCommand(const std::shared_ptr<Command>& command) {
    Check("SendCommand");
    world_->RequireAttached(*client_, "SendCommand");
    if (!command) {
        throw AutomationError(kInvalidArgument, "SendCommand: no command");
    }
    std::string reply = world_->RunCommand(command->CommandText());
    if (auto* own = dynamic_cast<SimCommand*>(command.get())) {
        own->SetReply(reply);
    }
}

std::shared_ptr<skype::Application> SimSkype::Application(const std::string& name) {
    Check("Application");
    world_->RequireAttached(*client_, "Application");
    return std::make_shared<SimApplication>(world_, name);
}

void SimSkype::SendMessage(const std::string& handle, const std::string& text) {
    Check("SendMessage");
    world_->RequireAttached(*client_, "SendMessage");
    world_->SendChat(handle, text);
}

bool SimSkype::Advise(EventSink& sink) {
    Check("Advise");
    return world_->Advise(*client_, sink);
}

void SimSkype::Unadvise(EventSink& sink) {
    Check("Unadvise");
    world_->Unadvise(*client_, sink);
}

platform::Cookie SimSkype::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    return table.RegisterFactory<Skype>(
        [world = world_, client = client_]() -> std::shared_ptr<Skype> {
            return std::make_shared<SimSkype>(world, client);
        });
}

// --- Call ---

int32_t SimCall::Id() {
    Check("Id");
    return id_;
}

std::string SimCall::PartnerHandle() {
    Check("PartnerHandle");
    return world_->PartnerHandleOf(id_);
}

std::string SimCall::PartnerDisplayName() {
    Check("PartnerDisplayName");
    return world_->PartnerDisplayNameOf(id_);
}

CallType SimCall::Type() {
    Check("Type");
    return world_->TypeOf(id_);
}

CallStatus SimCall::Status() {
    Check("Status");
    return world_->StatusOf(id_);
}

void SimCall::Answer() {
    Check("Answer");
    world_->Answer(id_);
}

void SimCall::Finish() {
    Check("Finish");
    world_->Finish(id_);
}

void SimCall::SetInputDevice(DeviceKind kind, const std::string& text) {
    Check("SetInputDevice");
    world_->SetDevice(id_, Device::Input, kind, text);
}

void SimCall::SetOutputDevice(DeviceKind kind, const std::string& text) {
    Check("SetOutputDevice");
    world_->SetDevice(id_, Device::Output, kind, text);
}

void SimCall::SetCaptureMicDevice(DeviceKind kind, const std::string& text) {
    Check("SetCaptureMicDevice");
    world_->SetDevice(id_, Device::CaptureMic, kind, text);
}

std::string SimCall::InputDevice(DeviceKind kind) {
    Check("InputDevice");
    return world_->DeviceText(id_, Device::Input, kind);
}

std::string SimCall::OutputDevice(DeviceKind kind) {
    Check("OutputDevice");
    return world_->DeviceText(id_, Device::Output, kind);
}

std::string SimCall::CaptureMicDevice(DeviceKind kind) {
    Check("CaptureMicDevice");
    return world_->DeviceText(id_, Device::CaptureMic, kind);
}

bool SimCall::InputStillPlaying() {
    Check("InputStillPlaying");
    return world_->InputPlaying(id_);
}

VideoStatus SimCall::VideoSendStatus() {
    Check("VideoSendStatus");
    return world_->VideoStatusOf(id_, true);
}

VideoStatus SimCall::VideoReceiveStatus() {
    Check("VideoReceiveStatus");
    return world_->VideoStatusOf(id_, false);
}

void SimCall::StartVideoSend() {
    Check("StartVideoSend");
    world_->SetVideo(id_, true, true);
}

void SimCall::StopVideoSend() {
    Check("StopVideoSend");
    world_->SetVideo(id_, true, false);
}

void SimCall::StartVideoReceive() {
    Check("StartVideoReceive");
    world_->SetVideo(id_, false, true);
}

void SimCall::StopVideoReceive() {
    Check("StopVideoReceive");
    world_->SetVideo(id_, false, false);
}

namespace {

class SimCallWatch final : public CallWatch {
  public:
    SimCallWatch(std::shared_ptr<SimWorld> world, int32_t id, uint64_t token)
        : world_(std::move(world)), id_(id), token_(token) {}
    ~SimCallWatch() override { world_->Unwatch(id_, token_); }

  private:
    std::shared_ptr<SimWorld> world_;
    int32_t id_;
    uint64_t token_;
};

}  // namespace

std::unique_ptr<CallWatch> SimCall::Watch(std::function<void()> changed) {
    Check("Watch");
    return std::make_unique<SimCallWatch>(world_, id_, world_->Watch(id_, std::move(changed)));
}

platform::Cookie SimCall::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    return table.RegisterFactory<Call>([world = world_, id = id_]() -> std::shared_ptr<Call> {
        return std::make_shared<SimCall>(world, id);
    });
}

// --- User ---

SimContact SimUser::Read(const char* operation) {
    Check(operation);
    auto contact = world_->FindUser(handle_);
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

skype::OnlineStatus SimUser::OnlineStatus() {
    return Read("OnlineStatus").onlineStatus;
}

bool SimUser::IsBlocked() {
    return Read("IsBlocked").blocked;
}

platform::Cookie SimUser::RegisterIn(platform::InterfaceTable& table) {
    Check("RegisterIn");
    return table.RegisterFactory<User>(
        [world = world_, handle = handle_]() -> std::shared_ptr<User> {
            return std::make_shared<SimUser>(world, handle);
        });
}

int32_t SimUserCollection::Count() {
    Check("Count");
    return static_cast<int32_t>(handles_.size());
}

std::shared_ptr<User> SimUserCollection::Item(int32_t index) {
    Check("Item");
    if (index < 1 || index > Count()) {
        throw AutomationError(kBadIndex, "UserCollection::Item: index " + std::to_string(index));
    }
    return std::make_shared<SimUser>(world_, handles_[static_cast<size_t>(index - 1)]);
}

// --- Command ---

void SimCommand::SetCommand(const std::string& text) {
    Check("SetCommand");
    text_ = text;
}

std::string SimCommand::CommandText() {
    Check("CommandText");
    return text_;
}

std::string SimCommand::Reply() {
    Check("Reply");
    return reply_;
}

// --- Application and streams ---

std::string SimApplication::Name() {
    Check("Name");
    return name_;
}

std::shared_ptr<ApplicationStreamCollection> SimApplication::Streams() {
    Check("Streams");
    return std::make_shared<SimStreamCollection>(world_, name_, world_->OpenStreams(name_));
}

std::string SimStream::Handle() {
    Check("Handle");
    return handle_;
}

std::string SimStream::PartnerHandle() {
    Check("PartnerHandle");
    return world_->StreamPartner(app_, handle_);
}

int32_t SimStream::DataLength() {
    Check("DataLength");
    return world_->StreamDataLength(app_, handle_);
}

std::string SimStream::Read() {
    Check("Read");
    return world_->StreamRead(app_, handle_);
}

void SimStream::Disconnect() {
    Check("Disconnect");
    world_->StreamDisconnect(app_, handle_);
}

int32_t SimStreamCollection::Count() {
    Check("Count");
    return static_cast<int32_t>(handles_.size());
}

std::shared_ptr<ApplicationStream> SimStreamCollection::Item(int32_t index) {
    Check("Item");
    if (index < 1 || index > Count()) {
        throw AutomationError(kBadIndex,
                              "ApplicationStreamCollection::Item: index " + std::to_string(index));
    }
    return std::make_shared<SimStream>(world_, app_, handles_[static_cast<size_t>(index - 1)]);
}

// --- events ---

Event MakeEvent(const std::shared_ptr<SimWorld>& world, const SimWorld::PendingEvent& pending) {
    using Kind = SimWorld::ArgRef::Kind;
    Event event{pending.id, {}};
    for (const auto& arg : pending.args) {
        switch (arg.kind) {
            case Kind::None:
                event.args.emplace_back(std::monostate{});
                break;
            case Kind::Int:
                event.args.emplace_back(arg.number);
                break;
            case Kind::Bool:
                event.args.emplace_back(arg.number != 0);
                break;
            case Kind::Text:
                event.args.emplace_back(arg.text);
                break;
            case Kind::Call:
                event.args.emplace_back(
                    std::shared_ptr<Call>(std::make_shared<SimCall>(world, arg.number)));
                break;
            case Kind::User:
                event.args.emplace_back(
                    std::shared_ptr<User>(std::make_shared<SimUser>(world, arg.text)));
                break;
            case Kind::App:
                event.args.emplace_back(std::shared_ptr<skype::Application>(
                    std::make_shared<SimApplication>(world, arg.text)));
                break;
            case Kind::Streams:
                event.args.emplace_back(std::shared_ptr<ApplicationStreamCollection>(
                    std::make_shared<SimStreamCollection>(world, arg.text, arg.handles)));
                break;
            case Kind::Command:
                event.args.emplace_back(std::shared_ptr<Command>(
                    std::make_shared<SimCommand>(world, arg.text, arg.reply)));
                break;
        }
    }
    return event;
}

}  // namespace velto::skype::sim
