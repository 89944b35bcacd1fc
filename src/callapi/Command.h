#pragma once

#include <string>

namespace velto::skype {

// A text command for Skype, sent with Skype::SendCommand.
class Command {
  public:
    virtual ~Command() = default;

    virtual void SetCommand(const std::string& text) = 0;
    virtual std::string CommandText() = 0;
    // Skype's reply, once the command has been sent (empty before).
    virtual std::string Reply() = 0;
};

}  // namespace velto::skype
