#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "skype/api/Skype.h"
#include "skype/sim/SimWorld.h"

// The simulated client's automation objects. Each is a reference bound to the thread that
// obtained it, like a COM interface pointer in a single-threaded apartment.
namespace velto::skype::sim {

class ThreadBound {
  protected:
    ThreadBound(std::shared_ptr<SimWorld> world, const char* kind)
        : world_(std::move(world)), owner_(std::this_thread::get_id()), kind_(kind) {}
    // Notes a use on a foreign thread and fails it with kWrongThread.
    void Check(const char* operation) const;

    std::shared_ptr<SimWorld> world_;

  private:
    std::thread::id owner_;
    const char* kind_;
};

class SimSkype final : public Skype, private ThreadBound {
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

class SimCall final : public Call, private ThreadBound {
  public:
    SimCall(std::shared_ptr<SimWorld> world, int32_t id)
        : ThreadBound(std::move(world), "Call"), id_(id) {}

    int32_t Id() override;
    std::string PartnerHandle() override;
    std::string PartnerDisplayName() override;
    CallType Type() override;
    CallStatus Status() override;
    void Answer() override;
    void Finish() override;
    void SetInputDevice(DeviceKind kind, const std::string& text) override;
    void SetOutputDevice(DeviceKind kind, const std::string& text) override;
    void SetCaptureMicDevice(DeviceKind kind, const std::string& text) override;
    std::string InputDevice(DeviceKind kind) override;
    std::string OutputDevice(DeviceKind kind) override;
    std::string CaptureMicDevice(DeviceKind kind) override;
    bool InputStillPlaying() override;
    VideoStatus VideoSendStatus() override;
    VideoStatus VideoReceiveStatus() override;
    void StartVideoSend() override;
    void StopVideoSend() override;
    void StartVideoReceive() override;
    void StopVideoReceive() override;
    std::unique_ptr<CallWatch> Watch(std::function<void()> changed) override;
    platform::Cookie RegisterIn(platform::InterfaceTable& table) override;

  private:
    int32_t id_;
};

class SimUser final : public User, private ThreadBound {
  public:
    SimUser(std::shared_ptr<SimWorld> world, std::string handle)
        : ThreadBound(std::move(world), "User"), handle_(std::move(handle)) {}

    std::string Handle() override;
    std::string FullName() override;
    std::string DisplayName() override;
    skype::OnlineStatus OnlineStatus() override;
    bool IsBlocked() override;
    platform::Cookie RegisterIn(platform::InterfaceTable& table) override;

  private:
    SimContact Read(const char* operation);
    std::string handle_;
};

class SimUserCollection final : public UserCollection, private ThreadBound {
  public:
    SimUserCollection(std::shared_ptr<SimWorld> world, std::vector<std::string> handles)
        : ThreadBound(std::move(world), "UserCollection"), handles_(std::move(handles)) {}

    int32_t Count() override;
    std::shared_ptr<User> Item(int32_t index) override;

  private:
    std::vector<std::string> handles_;
};

class SimCommand final : public Command, private ThreadBound {
  public:
    SimCommand(std::shared_ptr<SimWorld> world, std::string text = {}, std::string reply = {})
        : ThreadBound(std::move(world), "Command"),
          text_(std::move(text)),
          reply_(std::move(reply)) {}

    void SetCommand(const std::string& text) override;
    std::string CommandText() override;
    std::string Reply() override;
    void SetReply(std::string reply) { reply_ = std::move(reply); }

  private:
    std::string text_;
    std::string reply_;
};

class SimApplication final : public skype::Application, private ThreadBound {
  public:
    SimApplication(std::shared_ptr<SimWorld> world, std::string name)
        : ThreadBound(std::move(world), "Application"), name_(std::move(name)) {}

    std::string Name() override;
    std::shared_ptr<ApplicationStreamCollection> Streams() override;

  private:
    std::string name_;
};

class SimStream final : public ApplicationStream, private ThreadBound {
  public:
    SimStream(std::shared_ptr<SimWorld> world, std::string app, std::string handle)
        : ThreadBound(std::move(world), "ApplicationStream"),
          app_(std::move(app)),
          handle_(std::move(handle)) {}

    std::string Handle() override;
    std::string PartnerHandle() override;
    int32_t DataLength() override;
    std::string Read() override;
    void Disconnect() override;

  private:
    std::string app_;
    std::string handle_;
};

class SimStreamCollection final : public ApplicationStreamCollection, private ThreadBound {
  public:
    SimStreamCollection(std::shared_ptr<SimWorld> world, std::string app,
                        std::vector<std::string> handles)
        : ThreadBound(std::move(world), "ApplicationStreamCollection"),
          app_(std::move(app)),
          handles_(std::move(handles)) {}

    int32_t Count() override;
    std::shared_ptr<ApplicationStream> Item(int32_t index) override;

  private:
    std::string app_;
    std::vector<std::string> handles_;
};

// Turns an event's named arguments into objects bound to the calling thread.
Event MakeEvent(const std::shared_ptr<SimWorld>& world, const SimWorld::PendingEvent& pending);

}  // namespace velto::skype::sim
