#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/UserSettings.h"

namespace velto::calls {

// Where greeting files are: the installation's stock greetings and the user's own folder
// (nothing without a usable handle), and the language that picks the stock greeting.
struct GreetingFolders {
    std::string installDir;
    std::optional<std::filesystem::path> ownFolder;
    int32_t language = 0;
};

// What chooses the greeting of one call, strongest first.
struct GreetingRequest {
    // A rule's greeting: a file of the user's folder, or "default" for the voice-mail
    // page's greeting.
    std::optional<std::string> rule;
    // The user declined the call: the busy greeting.
    bool declined = false;
    std::string handle;  // the caller, whose own greeting comes next
};

// The voice-mail page's greeting: the installation's Chinese greeting for languages 0 and
// 1, its English one for the others, or the user's own "AnswerMachine.wav".
std::string GreetingPath(bool useDefaultGreeting, int32_t language, const std::string& installDir,
                         const std::optional<std::filesystem::path>& ownFolder);

// The greeting file a caller hears: a rule's, else after a decline the busy greeting, else
// the caller's own, else the voice-mail page's. A file that is missing or no playable WAV
// gives way to the voice-mail page's greeting, and the user's own greeting to the stock
// one, each with a trace line.
std::string CallGreetingPath(const core::UserSettings& settings, const GreetingFolders& folders,
                             const GreetingRequest& request);

}  // namespace velto::calls
