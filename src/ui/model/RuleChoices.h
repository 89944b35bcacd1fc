#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "callapi/Skype.h"
#include "core/UserSettings.h"

namespace velto::ui {

// What a rule may name, as the rule editor offers it.
struct RuleChoices {
    struct Person {
        std::string handle;
        std::u16string name;  // as the contact list shows it
    };
    struct Tone {
        int32_t item = 0;
        std::u16string title;
    };
    std::vector<Person> contacts;     // by name
    std::vector<std::string> groups;  // as the contacts spell them, without case twins
    std::vector<Tone> tones;          // the catalogue's own tones (not the default one)
    std::vector<std::string> files;   // sound files of the user's folder, by name
};

// The signed-in user's contacts and their groups (`skype` may be null), the catalogue and
// the WAV files of `ownFolder`. A client that fails to answer leaves its part empty.
RuleChoices GatherRuleChoices(skype::Skype* skype, const core::UserSettings& settings,
                              const std::optional<std::filesystem::path>& ownFolder);

}  // namespace velto::ui
