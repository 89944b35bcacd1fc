#pragma once

#include "core/SettingFileStore.h"
#include "core/SharedState.h"
#include "core/UserSettings.h"
#include "partner/CurlFetcher.h"
#include "partner/PartnerServerLink.h"
#include "partner/PartnerToneService.h"
#include "partner/RegistryPartnerMarker.h"
#include "partner/TelephoneToneConverter.h"
#include "partner/UserPartnerSettings.h"
#include "platform/Registry.h"

namespace velto::partner {

// The partner ring-tone service with everything it works through: the server link, the
// user's settings, the registry marker, the telephone-rate converter and libcurl. The
// program creates one and hands service() to the Skype link and the user interface.
// Every reference must outlive the stack, and the stack must outlive the threads it
// starts through `workers` (join them before destroying it).
class PartnerStack {
  public:
    struct Parts {
        platform::Clock& clock;
        platform::Workers& workers;
        core::SharedState& shared;
        server::ServerCommunicationInstance& serverLink;
        core::UserSettings& settings;
        core::SettingFileStore& settingFile;
        platform::Registry& registry;
    };

    explicit PartnerStack(Parts parts);
    PartnerStack(const PartnerStack&) = delete;
    PartnerStack& operator=(const PartnerStack&) = delete;

    PartnerToneService& service() { return service_; }

  private:
    PartnerServerLink server_;
    UserPartnerSettings settings_;
    RegistryPartnerMarker marker_;
    TelephoneToneConverter converter_;
    CurlFetcher fetcher_;
    PartnerToneService service_;
};

}  // namespace velto::partner
