// Feeds arbitrary text to the reader of the Turn setting; what it accepts, written back in
// the setting's own form, must read back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sipaccount/TurnServer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto server = velto::skype::sip::ParseTurnServer(text, error);
    if (!server) {
        if (error.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    const auto again = velto::skype::sip::ParseTurnServer(
        server->HostPort() + ";transport=" + server->transport, error);
    if (server->host.empty() || server->port == 0 || !again || again->host != server->host ||
        again->port != server->port || again->transport != server->transport) {
        __builtin_trap();
    }
    return 0;
}
