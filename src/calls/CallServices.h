#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "calls/AnsweringPanel.h"
#include "calls/LocalRinger.h"
#include "calls/MissedCallList.h"
#include "core/SharedState.h"
#include "core/UserSettings.h"
#include "platform/Clock.h"
#include "platform/InterfaceTable.h"
#include "platform/Workers.h"

namespace velto::calls {

// How long each stage of a call lasts and how often it is checked.
struct CallTimings {
    platform::Millis toneOnly{5000};       // the tone alone, before the panel rings
    platform::Millis ringLimit{35000};     // ringing, with voice mail on
    platform::Millis statusPoll{10};       // call status and panel, while ringing
    platform::Millis rearmPoll{1};         // a tone found still playing at its end
    platform::Millis videoPoll{50};        // the video guards
    platform::Millis endPoll{100};         // waiting for the end of the call
    platform::Millis machinePoll{100};     // the answering machine
    platform::Millis recordLimit{300000};  // a caller's message
};

// A partner-service tone as the call handler needs it.
struct PartnerToneFile {
    std::string path;
    std::string title;
};

// Everything a call handler uses; the program owns these for its whole run.
struct CallServices {
    platform::Clock& clock;
    platform::Workers& workers;
    platform::InterfaceTable& table;
    core::SharedState& shared;
    core::UserSettings& settings;
    MissedCallList& missedCalls;
    AnsweringPanels& panels;
    LocalRinger& ringer;
    // The user's own folder (data folder / Skype handle), nothing without a usable handle.
    std::function<std::optional<std::filesystem::path>()> ownFolder;
    // Looks a partner-service tone up by key (under the partner catalogue's lock); nothing
    // when the catalogue does not hold it. Empty: no partner service.
    std::function<std::optional<PartnerToneFile>(const std::string& key)> findPartnerTone;
    CallTimings timings{};
};

}  // namespace velto::calls
