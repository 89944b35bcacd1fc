#pragma once

#include <cstdint>
#include <string>

namespace velto::skype {

// One stream of an application between this user and a peer.
class ApplicationStream {
  public:
    virtual ~ApplicationStream() = default;

    // Skype's name of the stream; unique while it is open.
    virtual std::string Handle() = 0;
    virtual std::string PartnerHandle() = 0;
    // Length of the message waiting to be read (0 when none).
    virtual int32_t DataLength() = 0;
    // Takes the waiting message (empty when none).
    virtual std::string Read() = 0;
    virtual void Disconnect() = 0;
};

}  // namespace velto::skype
