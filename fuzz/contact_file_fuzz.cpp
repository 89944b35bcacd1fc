// The user's contact file (vCard text from any address book) and the SIP addresses in it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sipaccount/ContactFile.h"
#include "sipaccount/SipAddress.h"
#include "sipaccount/SipSettingList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto file = velto::skype::sip::ParseContactFile(text);
    // What was read must survive a save and a new read unchanged.
    if (file.error.empty()) {
        const auto again = velto::skype::sip::ParseContactFile(
            velto::skype::sip::FormatContactFile(file.contacts));
        if (!again.error.empty() || again.contacts.size() != file.contacts.size()) {
            __builtin_trap();
        }
    }
    std::string error;
    // An address taken must read back the same from what the program writes of it.
    if (const auto address = velto::skype::sip::ParseSipAddress(text, error)) {
        const auto again = velto::skype::sip::ParseSipAddress(address->Uri(), error);
        if (!again || again->Uri() != address->Uri()) {
            __builtin_trap();
        }
    }
    velto::skype::sip::ParseListenAddress(text, error);
    velto::skype::sip::ParsePortRange(text, error);
    for (const auto& setting : velto::skype::sip::SipSettingList()) {
        velto::skype::sip::CheckSipSetting(setting, std::string(text));
    }
    return 0;
}
