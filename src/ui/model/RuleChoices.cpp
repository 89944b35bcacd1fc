#include "ui/model/RuleChoices.h"

#include <algorithm>

#include "callapi/AutomationError.h"
#include "platform/Text.h"
#include "rules/RuleMatch.h"
#include "ui/model/ContactOrder.h"

namespace velto::ui {
namespace {

void AddContacts(skype::Skype& skype, RuleChoices& choices) {
    const auto friends = skype.Friends();
    for (int32_t i = 1; i <= friends->Count(); ++i) {
        const auto user = friends->Item(i);
        const Contact contact{user->Handle(), user->FullName(), user->DisplayName()};
        choices.contacts.push_back({contact.handle, ShownName(contact)});
        for (const std::string& group : user->Groups()) {
            const bool known = std::any_of(
                choices.groups.begin(), choices.groups.end(), [&](const std::string& seen) {
                    return rules::FoldCase(seen) == rules::FoldCase(group);
                });
            if (!known) {
                choices.groups.push_back(group);
            }
        }
    }
}

bool IsWave(const std::filesystem::path& file) {
    return rules::FoldCase(file.extension().string()) == ".wav";
}

}  // namespace

RuleChoices GatherRuleChoices(skype::Skype* skype, const core::UserSettings& settings,
                              const std::optional<std::filesystem::path>& ownFolder) {
    RuleChoices choices;
    if (skype != nullptr) {
        try {
            AddContacts(*skype, choices);
        } catch (const skype::AutomationError&) {
            choices.contacts.clear();
        }
    }
    std::sort(choices.contacts.begin(), choices.contacts.end(),
              [](const auto& a, const auto& b) { return FoldCase(a.name) < FoldCase(b.name); });
    std::sort(choices.groups.begin(), choices.groups.end());
    for (const auto& [item, tone] : settings.Catalogue()) {
        if (item != core::kDefaultToneId) {
            choices.tones.push_back({item, tone.title});
        }
    }
    if (ownFolder) {
        std::error_code error;
        for (std::filesystem::directory_iterator at(*ownFolder, error), end; !error && at != end;
             at.increment(error)) {
            std::error_code kind;
            if (IsWave(at->path()) && at->is_regular_file(kind)) {
                choices.files.push_back(at->path().filename().string());
            }
        }
        std::sort(choices.files.begin(), choices.files.end());
    }
    return choices;
}

}  // namespace velto::ui
