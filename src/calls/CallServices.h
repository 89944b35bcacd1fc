#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "calls/AnsweringPanel.h"
#include "calls/LocalRinger.h"
#include "calls/MissedCallList.h"
#include "core/SharedState.h"
#include "core/UserSettings.h"
#include "platform/Clock.h"
#include "platform/InterfaceTable.h"
#include "platform/SoundOutput.h"
#include "platform/SoundStream.h"
#include "platform/Workers.h"

namespace velto::calls {

class RulesStore;

// How long each stage of a call lasts, and the few moments at which a call's workers look
// without being told: everything else wakes them through the call's reports.
struct CallTimings {
    platform::Millis toneOnly{5000};    // the tone alone, before the panel rings
    platform::Millis ringLimit{35000};  // ringing, with voice mail on
    // A ring-back tone that ends sooner than this (or half its length) after it was set
    // is one the call cannot play: it is tried again only after this pause.
    platform::Millis toneRetry{1000};
    // A worker reads the call's status at least this often, so that a status event the
    // backend failed to signal costs seconds, not a worker waiting for ever.
    platform::Millis statusRecheck{5000};
    // After the record limit, the call is hung up again this often until it is over.
    platform::Millis finishRetry{100};
    // While a message is recorded, the recording so far is judged for silence this often.
    platform::Millis silenceCheck{250};
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
    // The user's rules (who hears what, and when); null: calls go as without rules.
    RulesStore* rules = nullptr;
    // Told which rule decided a call (by the call's id); for reports. May be empty.
    std::function<void(int32_t callId, const std::string& rule)> ruleDecided{};
    // A voice of its own for listening in through a message's recording, where the
    // backend cannot put the caller on the speaker itself. May be empty.
    std::function<std::unique_ptr<platform::SoundStream>()> listenVoice{};
};

}  // namespace velto::calls
