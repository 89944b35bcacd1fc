#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "callapi/Application.h"
#include "callapi/Call.h"
#include "callapi/Command.h"
#include "callapi/Event.h"
#include "callapi/Numbering.h"
#include "callapi/User.h"
#include "callapi/UserCollection.h"
#include "platform/InterfaceTable.h"

namespace velto::skype {

// The Skype automation object: the program's one door to the Skype client. It belongs to
// the thread that created it; other threads reach it only through RegisterIn and the
// interface table. Every operation may raise AutomationError; while not attached, all but
// Attach, AttachmentStatus, CreateCommand, Advise/Unadvise and RegisterIn raise
// kNotAttached.
class Skype {
  public:
    virtual ~Skype() = default;

    // Asks Skype to attach. With wait false it returns at once; the outcome arrives as
    // AttachmentStatus events (a status is reported when it changes).
    virtual void Attach(int32_t protocol, bool wait) = 0;
    virtual skype::AttachmentStatus AttachmentStatus() = 0;

    virtual std::string CurrentUserHandle() = 0;
    virtual std::shared_ptr<User> CurrentUser() = 0;
    // Skype's version text; its first character is the major version digit.
    virtual std::string Version() = 0;
    // The signed-in user's contacts, in Skype's order.
    virtual std::shared_ptr<UserCollection> Friends() = 0;

    // A new command object (the automation library's separately created Command class).
    virtual std::shared_ptr<Command> CreateCommand() = 0;
    // Sends the command and waits for Skype's reply (Command::Reply afterwards).
    virtual void SendCommand(const std::shared_ptr<Command>& command) = 0;
    // The application of that name (its streams are empty until it was created with the
    // command "Create Application NAME").
    virtual std::shared_ptr<skype::Application> Application(const std::string& name) = 0;
    // Sends a chat message to a user.
    virtual void SendMessage(const std::string& handle, const std::string& text) = 0;

    // Subscribes a sink to this object's events; false when the subscription fails. The
    // sink must stay alive until Unadvise. Only on the owning thread.
    virtual bool Advise(EventSink& sink) = 0;
    virtual void Unadvise(EventSink& sink) = 0;

    // Puts this object into the interface table for another thread, which obtains its own
    // reference with table.Get<Skype>(cookie).
    virtual platform::Cookie RegisterIn(platform::InterfaceTable& table) = 0;
};

}  // namespace velto::skype
