#include "backends/sim/SimWorld.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "backends/sim/SimObjects.h"
#include "backends/sim/SimWorldInternal.h"
#include "callapi/AutomationError.h"
#include "platform/Trace.h"

namespace velto::skype::sim {

using platform::Millis;
using namespace world_detail;

std::shared_ptr<SimWorld> SimWorld::Create(platform::Clock& clock) {
    return std::shared_ptr<SimWorld>(new SimWorld(clock));
}

SimWorld::SimWorld(platform::Clock& clock)
    : clock_(clock), alarm_(std::make_unique<ClockAlarm>(clock, [this] { ReportInputEnds(); })) {}

SimWorld::~SimWorld() {
    // Before anything it reports on goes; its thread may be reporting now, through alarm_,
    // so the thread ends before the pointer does.
    alarm_->Stop();
    alarm_.reset();
    for (auto& [id, call] : calls_) {
        if (call->recorder) {
            call->recorder->Finish(clock_.Now(), call->info.status == CallStatus::InProgress);
        }
    }
}

// --- factory and client ---

std::shared_ptr<Skype> SimWorld::CreateSkype(platform::MessageLoop& loop) {
    std::lock_guard guard(mutex_);
    if (!creatable_) {
        return nullptr;
    }
    if (!loop.IsLoopThread()) {
        violations_.push_back(
            "Skype object created on a thread that does not own its message loop");
    }
    auto client = std::make_shared<Client>(loop);
    client->owner = std::this_thread::get_id();
    clients_.push_back(client);
    return std::make_shared<SimSkype>(shared_from_this(), client);
}

void SimWorld::SetCreatable(bool creatable) {
    std::lock_guard guard(mutex_);
    creatable_ = creatable;
}

void SimWorld::SetVersion(std::string version) {
    std::lock_guard guard(mutex_);
    version_ = std::move(version);
}

void SimWorld::SetCurrentUser(std::string handle, std::string fullName, std::string displayName) {
    std::lock_guard guard(mutex_);
    me_.handle = std::move(handle);
    me_.fullName = std::move(fullName);
    me_.displayName = std::move(displayName);
}

void SimWorld::SetAuthorizationPolicy(AuthorizationPolicy policy) {
    std::lock_guard guard(mutex_);
    policy_ = policy;
}

void SimWorld::StartSkype() {
    std::lock_guard guard(mutex_);
    running_ = true;
}

void SimWorld::SignIn() {
    std::lock_guard guard(mutex_);
    PumpLocked();
    running_ = true;
    if (signedIn_) {
        return;
    }
    signedIn_ = true;
    for (auto& weak : clients_) {
        if (auto client = weak.lock(); client && client->status != AttachmentStatus::Success) {
            client->attachRequested = false;
            SetClientStatusLocked(*client, AttachmentStatus::Available, false);
        }
    }
}

void SimWorld::SignOut() {
    std::lock_guard guard(mutex_);
    PumpLocked();
    for (auto& [id, call] : calls_) {
        if (!IsFinal(call->info.status)) {
            SetStatusLocked(*call, IsRingingPhase(call->info.status) ? CallStatus::Missed
                                                                     : CallStatus::Finished);
        }
    }
    signedIn_ = false;
    for (auto& weak : clients_) {
        if (auto client = weak.lock()) {
            client->attachRequested = false;
            SetClientStatusLocked(*client, AttachmentStatus::NotAvailable, false);
        }
    }
}

void SimWorld::ExitSkype() {
    SignOut();
    std::lock_guard guard(mutex_);
    running_ = false;
}

void SimWorld::UserGrants() {
    std::lock_guard guard(mutex_);
    authorized_ = true;
    ReevaluateAllLocked();
}

void SimWorld::UserRefuses() {
    std::lock_guard guard(mutex_);
    authorized_ = false;
    ReevaluateAllLocked();
}

void SimWorld::BroadcastAttachmentStatus(AttachmentStatus status) {
    std::lock_guard guard(mutex_);
    for (auto& weak : clients_) {
        if (auto client = weak.lock()) {
            SetClientStatusLocked(*client, status, true);
        }
    }
}

void SimWorld::SetUserStatus(UserStatus status) {
    std::lock_guard guard(mutex_);
    PostToAttachedLocked(PendingEvent{EventId::UserStatus, {IntArg(ToInt(status))}});
}

void SimWorld::SetAutoAnswer(bool on) {
    std::lock_guard guard(mutex_);
    autoAnswer_ = on;
}

int SimWorld::AttachRequests() const {
    std::lock_guard guard(mutex_);
    return attachRequests_;
}

bool SimWorld::IsSignedIn() const {
    std::lock_guard guard(mutex_);
    return signedIn_;
}

void SimWorld::ClientAttach(const std::shared_ptr<Client>& client) {
    std::lock_guard guard(mutex_);
    ++attachRequests_;
    client->attachRequested = true;
    EvaluateAttachLocked(*client);
}

AttachmentStatus SimWorld::ClientStatus(const Client& client) const {
    std::lock_guard guard(mutex_);
    return client.status;
}

void SimWorld::RequireAttached(const Client& client, const char* operation) const {
    std::lock_guard guard(mutex_);
    if (client.status != AttachmentStatus::Success) {
        throw AutomationError(kNotAttached, std::string(operation) + ": Skype is not attached");
    }
}

void SimWorld::EvaluateAttachLocked(Client& client) {
    if (!running_ || !signedIn_) {
        SetClientStatusLocked(client, AttachmentStatus::NotAvailable, false);
        return;
    }
    if (client.status == AttachmentStatus::Success || !client.attachRequested) {
        return;
    }
    if (!authorized_ && policy_ != AuthorizationPolicy::AskUser) {
        authorized_ = policy_ == AuthorizationPolicy::Grant;
    }
    if (!authorized_) {
        SetClientStatusLocked(client, AttachmentStatus::PendingAuthorization, false);
        return;
    }
    if (*authorized_) {
        client.attachRequested = false;
        SetClientStatusLocked(client, AttachmentStatus::Success, false);
    } else {
        // The request stands: should the user allow the program later, it is served.
        SetClientStatusLocked(client, AttachmentStatus::Refused, false);
    }
}

void SimWorld::ReevaluateAllLocked() {
    for (auto& weak : clients_) {
        if (auto client = weak.lock(); client && client->attachRequested) {
            EvaluateAttachLocked(*client);
        }
    }
}

void SimWorld::SetClientStatusLocked(Client& client, AttachmentStatus status, bool force) {
    if (client.status == status && !force) {
        return;
    }
    client.status = status;
    PostLocked(client, PendingEvent{EventId::AttachmentStatus, {IntArg(ToInt(status))}});
}

// --- events ---

void SimWorld::PostLocked(Client& client, PendingEvent pending) {
    client.Post<SimCall, SimUser>(weak_from_this(), std::move(pending));
}

void SimWorld::PostToAttachedLocked(const PendingEvent& pending) {
    for (auto& weak : clients_) {
        if (auto client = weak.lock(); client && client->status == AttachmentStatus::Success) {
            PostLocked(*client, pending);
        }
    }
}

// --- contacts and the signed-in user ---

SimContact* SimWorld::ContactLocked(const std::string& handle) {
    const auto found = contactIndex_.find(handle);
    return found == contactIndex_.end() ? nullptr : &contacts_[found->second];
}

void SimWorld::AddContact(SimContact contact) {
    std::lock_guard guard(mutex_);
    if (SimContact* known = ContactLocked(contact.handle)) {
        *known = std::move(contact);
        return;
    }
    contactIndex_.emplace(contact.handle, contacts_.size());
    contacts_.push_back(std::move(contact));
}

void SimWorld::RemoveContact(const std::string& handle) {
    std::lock_guard guard(mutex_);
    const auto found = contactIndex_.find(handle);
    if (found == contactIndex_.end()) {
        return;
    }
    contacts_.erase(contacts_.begin() + static_cast<std::ptrdiff_t>(found->second));
    contactIndex_.clear();
    for (size_t i = 0; i < contacts_.size(); ++i) {
        contactIndex_.emplace(contacts_[i].handle, i);
    }
}

void SimWorld::SetOnlineStatus(const std::string& handle, skype::OnlineStatus status) {
    std::lock_guard guard(mutex_);
    SimContact* contact = ContactLocked(handle);
    if (contact && contact->onlineStatus != status) {
        contact->onlineStatus = status;
        PostToAttachedLocked(PendingEvent{
            EventId::OnlineStatus, {NamedArg(ArgRef::Kind::User, handle), IntArg(ToInt(status))}});
    }
}

void SimWorld::SetBlocked(const std::string& handle, bool blocked) {
    std::lock_guard guard(mutex_);
    if (SimContact* contact = ContactLocked(handle)) {
        contact->blocked = blocked;
    }
}

std::vector<SimContact> SimWorld::Contacts() const {
    std::lock_guard guard(mutex_);
    return contacts_;
}

void SimWorld::SetGroups(const std::string& handle, std::vector<std::string> groups) {
    std::lock_guard guard(mutex_);
    groups_[handle] = std::move(groups);
}

std::vector<std::string> SimWorld::Groups(const std::string& handle) const {
    std::lock_guard guard(mutex_);
    const auto found = groups_.find(handle);
    return found == groups_.end() ? std::vector<std::string>{} : found->second;
}

std::string SimWorld::CurrentUserHandle() const {
    std::lock_guard guard(mutex_);
    return me_.handle;
}

std::string SimWorld::Version() const {
    std::lock_guard guard(mutex_);
    return version_;
}

std::optional<SimContact> SimWorld::FindUser(const std::string& handle) const {
    std::lock_guard guard(mutex_);
    if (handle == me_.handle) {
        return me_;
    }
    const auto found = contactIndex_.find(handle);
    if (found == contactIndex_.end()) {
        return std::nullopt;
    }
    return contacts_[found->second];
}

std::vector<std::string> SimWorld::FriendHandles() const {
    std::lock_guard guard(mutex_);
    std::vector<std::string> handles;
    handles.reserve(contacts_.size());
    for (const auto& contact : contacts_) {
        handles.push_back(contact.handle);
    }
    return handles;
}

// --- commands and chat ---

std::string SimWorld::RunCommand(const std::string& text) {
    std::lock_guard guard(mutex_);
    std::istringstream words(text);
    std::string first, second, name;
    words >> first >> second >> name;
    first = Upper(first);
    second = Upper(second);
    std::string reply;
    if (first == "CREATE" && second == "APPLICATION" && !name.empty()) {
        apps_[name].created = true;
        reply = "CREATE APPLICATION " + name;
    } else if (first == "DELETE" && second == "APPLICATION" && apps_.count(name) == 1) {
        apps_.erase(name);
        reply = "DELETE APPLICATION " + name;
    } else if (first == "PING") {
        reply = "PONG";
    } else {
        reply = "ERROR 2 Unknown command";
    }
    commands_.push_back(ReceivedCommand{clock_.Now(), text, reply});
    ArgRef command = NamedArg(ArgRef::Kind::Command, text);
    command.reply = reply;
    PostToAttachedLocked(PendingEvent{EventId::Command, {command}});
    PostToAttachedLocked(PendingEvent{EventId::Reply, {command}});
    return reply;
}

void SimWorld::SendChat(const std::string& handle, const std::string& text) {
    std::lock_guard guard(mutex_);
    if (handle.empty()) {
        throw AutomationError(kInvalidArgument, "SendMessage: no user handle");
    }
    chats_.push_back(ChatMessage{clock_.Now(), handle, text});
}

std::vector<ChatMessage> SimWorld::ChatMessages() const {
    std::lock_guard guard(mutex_);
    return chats_;
}

std::vector<ReceivedCommand> SimWorld::Commands() const {
    std::lock_guard guard(mutex_);
    return commands_;
}

// --- rules ---

void SimWorld::RecordViolation(const std::string& what) {
    std::lock_guard guard(mutex_);
    violations_.push_back(what);
}

std::vector<std::string> SimWorld::ThreadViolations() const {
    std::lock_guard guard(mutex_);
    return violations_;
}

}  // namespace velto::skype::sim
