#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "callapi/Skype.h"
#include "calls/CallServices.h"
#include "rules/CallFacts.h"
#include "rules/Rule.h"
#include "rules/RuleMatch.h"

namespace velto::calls {

// What the user's rules decide for one call; no rule: the call goes as without rules.
struct RuleOutcome {
    int index = -1;
    std::string name;
    rules::Actions then;
    bool Decided() const { return index >= 0; }
};

// What the rules see of a call from `handle`: whether the caller is a contact and in
// which groups, the user's own status, the local time. `skype` may be null (no contacts).
rules::CallFacts FactsOfCall(CallServices& services, skype::Skype* skype,
                             const std::string& handle);

// What the rules name outside themselves, as the calls see it: the catalogue's tones and
// the files of the user's folder `ownFolder`.
rules::RuleWorld WorldOf(CallServices& services, const std::filesystem::path& ownFolder);

// The user's rules for a call from `handle`, with a trace line for the rule that decides
// and for each rule passed over because what it names is gone.
RuleOutcome DecideByRules(CallServices& services, skype::Skype* skype, const std::string& handle,
                          const std::optional<std::filesystem::path>& ownFolder);

// The user's status as a rule names it (skype::UserStatus as int; -1: not reported).
rules::Presence PresenceOf(int32_t userStatus);

}  // namespace velto::calls
