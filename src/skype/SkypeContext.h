#pragma once

#include <functional>

#include "core/RegistrySettings.h"
#include "core/SettingFileStore.h"
#include "core/SharedState.h"
#include "i18n/RefreshList.h"
#include "platform/Clock.h"
#include "platform/InterfaceTable.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"
#include "platform/WindowManager.h"
#include "platform/Workers.h"
#include "server/ServerCommunicationInstance.h"

namespace velto::partner {
class PartnerToneService;
}

namespace velto::skype {

// The steps of the Skype link that belong to parts plugged in from outside. An empty hook
// is skipped.
struct SkypeHooks {
    // Starts the call handler of a new call on its own thread. It owns `callCookie` from
    // then on: when the call is over it erases the call's id from ActiveCallIds and revokes
    // the cookie. Without a hook the call gets no handler (the id and cookie are given back
    // at once).
    std::function<void(platform::Cookie callCookie)> startCallHandler;
    // A missed-call record for an incoming call the backend turned away as busy.
    std::function<void(const std::string& partnerHandle)> recordBusyCall;
    // The missed-call list's part of the personal-settings load.
    std::function<void()> loadMissedCalls;
    // Stops any sound the process plays through the system sound player (a peer's "SP").
    std::function<void()> stopPlayingSound;
    // Ends the process with this exit code. By default the main loop gets a task that
    // throws core::ProcessExit, so that the exit leaves from the loop and not from inside
    // Skype's event delivery (which, like COM's, does not pass a sink's exceptions on).
    std::function<void(int exitCode)> endProcess;
};

// Everything the Skype link works with. All references must outlive the link.
struct SkypeContext {
    platform::Clock& clock;
    platform::Workers& workers;
    // The main thread's loop: Skype's events and the main window's messages run on it.
    platform::MessageLoop& loop;
    platform::InterfaceTable& table;
    platform::WindowManager& windows;
    platform::MessageBoxes& boxes;
    platform::Registry& registry;
    core::SharedState& state;
    core::SettingFileStore& settingFile;
    core::RegistrySettings& registrySettings;
    i18n::RefreshList& refresh;
    server::ServerCommunicationInstance& serverLink;
    // Null: no partner ring-tone service in this program.
    partner::PartnerToneService* partner = nullptr;
    SkypeHooks hooks = {};
};

}  // namespace velto::skype
