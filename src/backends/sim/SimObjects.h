#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backends/sim/SimWorld.h"
#include "callapi/BoundCall.h"
#include "callapi/BoundObjects.h"
#include "callapi/Skype.h"
#include "callapi/ThreadBound.h"

// The simulated client's automation objects. Each is a reference bound to the thread that
// obtained it, like a COM interface pointer in a single-threaded apartment.
namespace velto::skype::sim {

class SimUser;
using SimCommand = BoundCommand<SimWorld>;
using SimUserCollection = BoundUserCollection<SimWorld, SimUser>;
using SimApplication = BoundApplication<SimWorld>;
using SimStream = BoundStream<SimWorld>;
using SimStreamCollection = BoundStreamCollection<SimWorld>;

// The tests read what was used on a foreign thread: ThreadBound tells the world.
static_assert(requires(SimWorld & world, const std::string& what) { world.RecordViolation(what); });

class SimSkype final : public Skype, private ThreadBound<SimWorld> {
  public:
    SimSkype(std::shared_ptr<SimWorld> world, std::shared_ptr<SimWorld::Client> client)
        : ThreadBound(std::move(world), "Skype"), client_(std::move(client)) {}

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
    std::shared_ptr<SimWorld::Client> client_;
};

class SimCall final : public BoundCall<SimWorld, Device> {
  public:
    SimCall(std::shared_ptr<SimWorld> world, int32_t id) : BoundCall(std::move(world), id) {}

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
    using Call::Watch;
    std::unique_ptr<CallWatch> Watch(std::function<void(CallChange)> changed) override;
    platform::Cookie RegisterIn(platform::InterfaceTable& table) override;
};

class SimUser final : public User, private ThreadBound<SimWorld> {
  public:
    SimUser(std::shared_ptr<SimWorld> world, std::string handle)
        : ThreadBound(std::move(world), "User"), handle_(std::move(handle)) {}

    std::string Handle() override;
    std::string FullName() override;
    std::string DisplayName() override;
    skype::OnlineStatus OnlineStatus() override;
    bool IsBlocked() override;
    std::vector<std::string> Groups() override;
    platform::Cookie RegisterIn(platform::InterfaceTable& table) override;

  private:
    SimContact Read(const char* operation);
    std::string handle_;
};

}  // namespace velto::skype::sim
