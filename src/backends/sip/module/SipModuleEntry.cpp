// The entry point of the SIP backend module (velto-sip.so); see sipaccount/SipModule.h.
#include <exception>
#include <type_traits>

#include "backends/sip/SipSkypeFactory.h"
#include "platform/Trace.h"
#include "sipaccount/SipModule.h"

extern "C" __attribute__((visibility("default"))) velto::skype::SkypeFactory*
velto_sip_create_factory(uint32_t interface, size_t optionsSize,
                         velto::skype::sip::SipModuleOptions* options);

static_assert(std::is_same_v<decltype(&velto_sip_create_factory), VeltoSipCreateFactory>);

extern "C" velto::skype::SkypeFactory* velto_sip_create_factory(
    uint32_t interface, size_t optionsSize, velto::skype::sip::SipModuleOptions* options) {
    using namespace velto::skype::sip;
    using velto::platform::Trace;
    if (interface != kSipModuleInterface || optionsSize != sizeof(SipModuleOptions) ||
        options == nullptr) {
        Trace(
            "SIP module: built for another program (interface %u, %zu bytes of options; "
            "this one %u, %zu): not used\n",
            interface, optionsSize, kSipModuleInterface, sizeof(SipModuleOptions));
        return nullptr;
    }
    // No exception may cross into the program's frames through a C entry point.
    try {
        return new SipSkypeFactory(SipBackendOptions{
            .clock = options->clock,
            .settings = std::move(options->settings),
            .rereadSettings = std::move(options->rereadSettings),
            .accountLink = std::move(options->accountLink),
            .contactsFile = std::move(options->contactsFile),
            .dataDir = std::move(options->dataDir),
        });
    } catch (const std::exception& error) {
        Trace("SIP module: the SIP backend could not be made: %s\n", error.what());
    } catch (...) {
        Trace("SIP module: the SIP backend could not be made\n");
    }
    return nullptr;
}
