#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace velto::skype {

class Application;
class ApplicationStream;
class ApplicationStreamCollection;
class Call;
class Command;
class User;
class UserCollection;

// Identifiers of Skype's events, as its event interface numbers them.
enum class EventId : int32_t {
    Command = 1,                 // command
    Reply = 2,                   // command
    Error = 3,                   // command, code (int), description (text)
    AttachmentStatus = 4,        // attachment status (int)
    ConnectionStatus = 5,        // connection status (int)
    UserStatus = 6,              // the signed-in user's status (int)
    OnlineStatus = 7,            // user, online status (int)
    CallStatus = 8,              // call, call status (int)
    CallHistory = 9,             // none
    Mute = 10,                   // mute (bool)
    MessageStatus = 11,          // message (not modelled), status (int)
    MessageHistory = 12,         // handle (text)
    ApplicationConnecting = 16,  // application, users
    ApplicationStreams = 17,     // application, streams
    ApplicationDatagram = 18,    // application, stream, text
    ApplicationSending = 19,     // application, streams
    ApplicationReceiving = 20,   // application, streams
};

// One argument of an event. std::monostate stands for an object the program does not use.
using EventArg =
    std::variant<std::monostate, int32_t, bool, std::string, std::shared_ptr<Command>,
                 std::shared_ptr<Call>, std::shared_ptr<User>, std::shared_ptr<UserCollection>,
                 std::shared_ptr<Application>, std::shared_ptr<ApplicationStream>,
                 std::shared_ptr<ApplicationStreamCollection>>;

// An event as the sink receives it: identifier and arguments in Skype's order. Objects in
// it belong to the thread the event is delivered on.
struct Event {
    EventId id;
    std::vector<EventArg> args;

    // Typed access to argument `index` (0-based); a missing argument or another type raises
    // AutomationError (kTypeMismatch).
    int32_t Int(size_t index) const;
    bool Bool(size_t index) const;
    const std::string& Text(size_t index) const;
    template <typename T>
    std::shared_ptr<T> Object(size_t index) const {
        const auto* value = std::get_if<std::shared_ptr<T>>(&At(index));
        if (value == nullptr) {
            Mismatch(index);
        }
        return *value;
    }

  private:
    const EventArg& At(size_t index) const;
    [[noreturn]] void Mismatch(size_t index) const;
};

// Receives Skype's events on the thread that created the Skype object, one at a time, in
// the order Skype raised them. A sink receives every event and ignores the ones it does
// not handle.
class EventSink {
  public:
    virtual ~EventSink() = default;

    // The sink's own identifier (the program uses 1 and 222).
    virtual int32_t SinkId() const = 0;
    virtual void OnEvent(const Event& event) = 0;
};

}  // namespace velto::skype
