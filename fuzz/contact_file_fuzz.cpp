// The user's contact file (vCard text from any address book), the SIP addresses in it, and
// a contact as the user types it in the window.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sipaccount/ContactBook.h"
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
    // The good cards of a damaged file are written back: they too must read back.
    if (!file.beforeDamage.empty()) {
        const auto kept = velto::skype::sip::ParseContactFile(
            velto::skype::sip::FormatContactFile(file.beforeDamage));
        if (!kept.error.empty() || kept.contacts.size() != file.beforeDamage.size()) {
            __builtin_trap();
        }
    }
    // The dialog's four fields, one a line: a contact made of them is saved and read back
    // with the same groups.
    std::string_view fields[4];
    std::string_view rest = text;
    for (auto& field : fields) {
        const size_t end = rest.find('\n');
        field = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    velto::skype::sip::SipContact contact;
    if (velto::skype::sip::MakeContact(fields[0], fields[1], fields[2], fields[3], contact).ok()) {
        const auto saved =
            velto::skype::sip::ParseContactFile(velto::skype::sip::FormatContactFile({contact}));
        if (!saved.error.empty() || saved.contacts.size() != 1 ||
            saved.contacts[0].groups != contact.groups) {
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
