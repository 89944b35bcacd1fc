#pragma once

#include <memory>
#include <string>
#include <vector>

#include "callapi/Application.h"
#include "callapi/ApplicationStream.h"
#include "callapi/ApplicationStreamCollection.h"
#include "callapi/Command.h"
#include "callapi/ThreadBound.h"
#include "callapi/UserCollection.h"

// The automation objects that every backend builds alike over its own state: command
// objects, users' lists, applications and their streams. A Backend offers OpenStreams,
// StreamPartner, StreamDataLength, StreamRead and StreamDisconnect.
namespace velto::skype {

template <typename Backend>
class BoundCommand final : public Command, private ThreadBound<Backend> {
  public:
    explicit BoundCommand(std::shared_ptr<Backend> backend, std::string text = {},
                          std::string reply = {})
        : ThreadBound<Backend>(std::move(backend), "Command"),
          text_(std::move(text)),
          reply_(std::move(reply)) {}

    void SetCommand(const std::string& text) override {
        this->Check("SetCommand");
        text_ = text;
    }
    std::string CommandText() override {
        this->Check("CommandText");
        return text_;
    }
    std::string Reply() override {
        this->Check("Reply");
        return reply_;
    }
    void SetReply(std::string reply) { reply_ = std::move(reply); }

  private:
    std::string text_;
    std::string reply_;
};

// A list of users as it was when asked for; each item is made on demand as a UserObject
// (the backend's own User).
template <typename Backend, typename UserObject>
class BoundUserCollection final : public UserCollection, private ThreadBound<Backend> {
  public:
    BoundUserCollection(std::shared_ptr<Backend> backend, std::vector<std::string> handles)
        : ThreadBound<Backend>(std::move(backend), "UserCollection"),
          handles_(std::move(handles)) {}

    int32_t Count() override {
        this->Check("Count");
        return static_cast<int32_t>(handles_.size());
    }
    std::shared_ptr<User> Item(int32_t index) override {
        this->Check("Item");
        return std::make_shared<UserObject>(this->backend_, this->HandleAt(handles_, index));
    }

  private:
    std::vector<std::string> handles_;
};

template <typename Backend>
class BoundStream final : public ApplicationStream, private ThreadBound<Backend> {
  public:
    BoundStream(std::shared_ptr<Backend> backend, std::string app, std::string handle)
        : ThreadBound<Backend>(std::move(backend), "ApplicationStream"),
          app_(std::move(app)),
          handle_(std::move(handle)) {}

    std::string Handle() override {
        this->Check("Handle");
        return handle_;
    }
    std::string PartnerHandle() override {
        this->Check("PartnerHandle");
        return this->backend_->StreamPartner(app_, handle_);
    }
    int32_t DataLength() override {
        this->Check("DataLength");
        return this->backend_->StreamDataLength(app_, handle_);
    }
    std::string Read() override {
        this->Check("Read");
        return this->backend_->StreamRead(app_, handle_);
    }
    void Disconnect() override {
        this->Check("Disconnect");
        this->backend_->StreamDisconnect(app_, handle_);
    }

  private:
    std::string app_;
    std::string handle_;
};

// An application's streams as they were when asked for.
template <typename Backend>
class BoundStreamCollection final : public ApplicationStreamCollection,
                                    private ThreadBound<Backend> {
  public:
    BoundStreamCollection(std::shared_ptr<Backend> backend, std::string app,
                          std::vector<std::string> handles)
        : ThreadBound<Backend>(std::move(backend), "ApplicationStreamCollection"),
          app_(std::move(app)),
          handles_(std::move(handles)) {}

    int32_t Count() override {
        this->Check("Count");
        return static_cast<int32_t>(handles_.size());
    }
    std::shared_ptr<ApplicationStream> Item(int32_t index) override {
        this->Check("Item");
        return std::make_shared<BoundStream<Backend>>(this->backend_, app_,
                                                      this->HandleAt(handles_, index));
    }

  private:
    std::string app_;
    std::vector<std::string> handles_;
};

template <typename Backend>
class BoundApplication final : public Application, private ThreadBound<Backend> {
  public:
    BoundApplication(std::shared_ptr<Backend> backend, std::string name)
        : ThreadBound<Backend>(std::move(backend), "Application"), name_(std::move(name)) {}

    std::string Name() override {
        this->Check("Name");
        return name_;
    }
    std::shared_ptr<ApplicationStreamCollection> Streams() override {
        this->Check("Streams");
        return std::make_shared<BoundStreamCollection<Backend>>(this->backend_, name_,
                                                                this->backend_->OpenStreams(name_));
    }

  private:
    std::string name_;
};

}  // namespace velto::skype
