#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "callapi/SkypeFactory.h"
#include "platform/Clock.h"
#include "sipaccount/AccountLink.h"
#include "sipaccount/SipSettings.h"

// The seam between the program and the SIP backend module (velto-sip.so), which brings the
// SIP stack and its libraries only into a program that uses them. Both sides are built
// together; the interface number guards against a module left from another build.
namespace velto::skype::sip {

inline constexpr const char* kSipModuleFile = "velto-sip.so";
inline constexpr const char* kSipModuleEntry = "velto_sip_create_factory";
inline constexpr uint32_t kSipModuleInterface = 2;

// What the program hands the module.
struct SipModuleOptions {
    // Waits of the SIP thread.
    platform::Clock& clock;
    // The account as read from the user hive.
    SipSettingsResult settings;
    // The user's contact file.
    std::filesystem::path contactsFile;
    // The SIP stack's own state.
    std::filesystem::path dataDir;
    // Reads the account again, before a failed registration is tried again (the user may
    // have fixed it meanwhile); empty: the settings above stay.
    std::function<SipSettingsResult()> rereadSettings{};
    // The registration state goes there, and a changed account comes from there; null:
    // nowhere.
    std::shared_ptr<AccountLink> accountLink{};
};

}  // namespace velto::skype::sip

extern "C" {
// The module's one entry point: a new factory of Skype objects on the SIP backend (the
// caller owns it), or null when `interface` or `optionsSize` is not the module's or the
// backend could not be made (the module traces why). Never throws.
using VeltoSipCreateFactory =
    velto::skype::SkypeFactory* (*)(uint32_t interface, size_t optionsSize,
                                    velto::skype::sip::SipModuleOptions* options);
}
