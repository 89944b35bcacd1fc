#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "callapi/BoundObjects.h"
#include "callapi/Call.h"
#include "callapi/Event.h"
#include "callapi/User.h"
#include "platform/MessageLoop.h"

// How a backend raises events: what it knows of an event (the ids and names of its
// objects) is posted to the loop of the thread that created the Skype object, and made into
// objects there, so that they are bound to that thread.
namespace velto::skype {

// One argument of an event before it is made into an object.
struct EventArgRef {
    enum class Kind { None, Int, Bool, Text, Call, User, App, Streams, Command };
    Kind kind = Kind::None;
    int32_t number = 0;                // Int, Bool, the call's id
    std::string text;                  // handle, application name, command text, or the text itself
    std::string reply;                 // a command's reply
    std::vector<std::string> handles;  // a stream collection's streams
};

struct PendingEvent {
    EventId id;
    std::vector<EventArgRef> args;
};

inline EventArgRef IntArg(int32_t value) {
    return EventArgRef{EventArgRef::Kind::Int, value, {}, {}, {}};
}
inline EventArgRef CallArg(int32_t id) {
    return EventArgRef{EventArgRef::Kind::Call, id, {}, {}, {}};
}
inline EventArgRef NamedArg(EventArgRef::Kind kind, std::string text) {
    return EventArgRef{kind, 0, std::move(text), {}, {}};
}

// Makes the event's objects on the calling thread: calls as CallObject and users as
// UserObject (the backend's own), the rest as the shared bound objects.
template <typename CallObject, typename UserObject, typename Backend>
Event MakeEvent(const std::shared_ptr<Backend>& backend, const PendingEvent& pending) {
    using Kind = EventArgRef::Kind;
    Event event{pending.id, {}};
    for (const EventArgRef& arg : pending.args) {
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
                    std::shared_ptr<Call>(std::make_shared<CallObject>(backend, arg.number)));
                break;
            case Kind::User:
                event.args.emplace_back(
                    std::shared_ptr<User>(std::make_shared<UserObject>(backend, arg.text)));
                break;
            case Kind::App:
                event.args.emplace_back(std::shared_ptr<Application>(
                    std::make_shared<BoundApplication<Backend>>(backend, arg.text)));
                break;
            case Kind::Streams:
                event.args.emplace_back(std::shared_ptr<ApplicationStreamCollection>(
                    std::make_shared<BoundStreamCollection<Backend>>(backend, arg.text,
                                                                     arg.handles)));
                break;
            case Kind::Command:
                event.args.emplace_back(std::shared_ptr<Command>(
                    std::make_shared<BoundCommand<Backend>>(backend, arg.text, arg.reply)));
                break;
        }
    }
    return event;
}

// The program's side of one Skype object: the loop its events run on and the sinks
// advised on it. A backend keeps one per Skype object the program created (as the base of
// its own record of that object).
class EventClient : public std::enable_shared_from_this<EventClient> {
  public:
    explicit EventClient(platform::MessageLoop& loop) : loop_(loop) {}
    virtual ~EventClient() = default;
    EventClient(const EventClient&) = delete;
    EventClient& operator=(const EventClient&) = delete;

    bool Advise(EventSink& sink);
    void Unadvise(EventSink& sink);

    // Posts `pending` to this client's loop, where it is made into objects of `backend`
    // and handed to every sink. Nothing happens when the client or the backend is gone by
    // then.
    template <typename CallObject, typename UserObject, typename Backend>
    void Post(std::weak_ptr<Backend> backend, PendingEvent pending) {
        std::weak_ptr<EventClient> weakClient = weak_from_this();
        loop_.Post([weakBackend = std::move(backend), weakClient, pending = std::move(pending)] {
            const auto owner = weakBackend.lock();
            const auto target = weakClient.lock();
            if (owner && target) {
                target->Deliver(MakeEvent<CallObject, UserObject>(owner, pending));
            }
        });
    }

    // Hands `event` to every sink in the order they were advised; a sink unadvised by an
    // earlier one of the same event is left out, and a failing one is traced. On the
    // loop's thread.
    void Deliver(const Event& event);

  private:
    bool IsAdvised(EventSink* sink) const;

    platform::MessageLoop& loop_;
    mutable std::mutex mutex_;
    std::vector<EventSink*> sinks_;
};

}  // namespace velto::skype
