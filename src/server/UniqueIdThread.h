#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/SharedState.h"
#include "platform/InterfaceTable.h"
#include "platform/Workers.h"
#include "server/ServerCommunicationInstance.h"

namespace velto::server {

// Sends the first-run report once, on the first start after installation, right after
// the link to Skype is established. Nothing waits for it.
class UniqueIdThread {
  public:
    // What the report says about this machine; FromThisSystem in the program.
    struct SystemFacts {
        std::optional<std::string> description;  // empty: the report is not sent
        uint16_t languageId = 0;
        static SystemFacts FromThisSystem();
    };

    // Starts the report thread when state.FirstRun is set (true then). The Skype object
    // is taken from state.SkypeCookie in the table.
    static bool StartIfFirstRun(platform::Workers& workers, platform::InterfaceTable& table,
                                core::SharedState& state, ServerCommunicationInstance& link,
                                SystemFacts facts = SystemFacts::FromThisSystem());

    // The thread's routine: builds the report, hands it to the link and waits at most
    // 10000 ms for the answer (which is not looked at). True when it was answered.
    static bool Run(platform::InterfaceTable& table, platform::Cookie skypeCookie,
                    ServerCommunicationInstance& link, const SystemFacts& facts);
};

}  // namespace velto::server
