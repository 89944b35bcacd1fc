#pragma once

#include <linphone/core.h>

#include <string>

// What the engine's parts read of the stack's addresses and messages alike.
namespace velto::skype::sip {

// The content type of the program-to-program messages that travel as chat messages.
inline constexpr const char* kDatagramType = "application/x-velto-app";

// "user@domain" of an address (the domain alone when it has no user; empty for none).
inline std::string HandleOf(const LinphoneAddress* address) {
    if (address == nullptr) {
        return {};
    }
    const char* user = linphone_address_get_username(address);
    const char* domain = linphone_address_get_domain(address);
    std::string handle = domain != nullptr ? domain : "";
    if (user != nullptr && *user != '\0') {
        handle = std::string(user) + "@" + handle;
    }
    return handle;
}

}  // namespace velto::skype::sip
