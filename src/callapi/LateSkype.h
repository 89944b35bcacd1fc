#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "callapi/Skype.h"
#include "callapi/SkypeFactory.h"
#include "callapi/ThreadBound.h"
#include "platform/MessageLoop.h"

namespace velto::skype {

struct LateSkypeShared;

// A Skype object that stands in while the backend behind it is still being made off the
// program's thread (a module loading), so that the program starts without waiting for it.
// It keeps the sinks, the attach request and the interface-table entry it is given, and
// hands them to the real object when that arrives; until then it is "not attached". Objects
// other threads obtain from the table reach the real object through its own entry.
class LateSkype final : public Skype, private ThreadBound<LateSkypeShared> {
  public:
    // Delivers the backend to a LateSkype from any thread; copies share the one delivery.
    class Supplier {
      public:
        // Makes the real object through `factory` on the owner's thread (factory must live
        // until then). Null: there is no backend; an attach asked for is answered
        // NotAvailable. Nothing happens once the owner is gone.
        void Supply(SkypeFactory* factory) const;

      private:
        friend class LateSkype;
        explicit Supplier(std::shared_ptr<LateSkypeShared> shared) : shared_(std::move(shared)) {}
        std::shared_ptr<LateSkypeShared> shared_;
    };

    // The owner, bound to the calling thread, which owns `loop`.
    explicit LateSkype(platform::MessageLoop& loop);
    // A reference obtained from the interface table on another thread.
    explicit LateSkype(std::shared_ptr<LateSkypeShared> shared);
    ~LateSkype() override;
    LateSkype(const LateSkype&) = delete;
    LateSkype& operator=(const LateSkype&) = delete;

    Supplier supplier() const { return Supplier(backend_); }

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
    // The owner's thread: the real object (null: none) takes over.
    void Arrive(std::shared_ptr<Skype> real);
    // The real object, or kNotAttached while it has not arrived.
    Skype& Real(const char* operation);

    const bool owner_;
    std::shared_ptr<Skype> real_;
    // The owner's, until the real object arrives.
    std::vector<EventSink*> sinks_;
    bool attachRequested_ = false;
    int32_t protocol_ = 0;
    skype::AttachmentStatus status_ = skype::AttachmentStatus::Unknown;
};

// What the owner, its table references and its suppliers share.
struct LateSkypeShared {
    std::mutex mutex;
    // Both null once the owner is gone.
    platform::MessageLoop* loop = nullptr;
    LateSkype* owner = nullptr;
    // The table the owner was registered in, and the real object's entry there.
    platform::InterfaceTable* table = nullptr;
    platform::Cookie realCookie = 0;
};

}  // namespace velto::skype
