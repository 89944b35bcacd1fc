#pragma once

#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace velto::server {

// The communication server. The host name is the program's own; the machine hive may
// name another one (the composition root reads it and passes it in), and tests point the
// link at loopback servers on free ports.
inline constexpr const char* kServerHostName = "comm.velto.example";
inline constexpr uint16_t kServerPort = 84;       // framed message protocol
inline constexpr uint16_t kServerWebPort = 3130;  // web pages shown in embedded panels

struct LinkSettings {
    std::string host = kServerHostName;
    uint16_t port = kServerPort;
    // Connection closed after this long without an exchange.
    platform::Millis idleClose{10000};
    // Pause after a failed connect (or a host name that does not resolve). Each failure in
    // a row doubles it, up to retryPauseLimit; a connection that works starts over.
    platform::Millis retryPause{100};
    platform::Millis retryPauseLimit{30000};
    // How long (real time) a read may wait for the server before program time is let go
    // on meanwhile. Only matters for a virtual clock: a prompt loopback answer then costs
    // no program time, while a server that stalls lets requesters' time limits run out.
    std::chrono::milliseconds slowAnswerGrace{1000};
};

}  // namespace velto::server
