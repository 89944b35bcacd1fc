#include "calls/CallRules.h"

#include <algorithm>

#include "calls/RulesStore.h"
#include "platform/FileLookup.h"
#include "platform/Trace.h"
#include "rules/RuleMatch.h"
#include "rules/RuleText.h"

namespace velto::calls {

namespace {

// RFC 3323's caller without an identity, and a call with no caller id at all.
bool IsAnonymous(const std::string& folded) {
    return folded.empty() || folded.find("anonymous@anonymous.invalid") != std::string::npos ||
           folded == "anonymous";
}

void FillContact(skype::Skype& skype, rules::CallFacts& facts) {
    const auto friends = skype.Friends();
    for (int32_t i = 1; i <= friends->Count(); ++i) {
        const auto user = friends->Item(i);
        if (rules::FoldCase(user->Handle()) != facts.caller) {
            continue;
        }
        facts.isContact = true;
        for (const std::string& group : user->Groups()) {
            facts.groups.push_back(rules::FoldCase(group));
        }
        std::sort(facts.groups.begin(), facts.groups.end());
        return;
    }
}

}  // namespace

rules::Presence PresenceOf(int32_t userStatus) {
    switch (static_cast<skype::UserStatus>(userStatus)) {
        case skype::UserStatus::Away:
        case skype::UserStatus::NotAvailable:
            return rules::Presence::Away;
        case skype::UserStatus::DoNotDisturb:
            return rules::Presence::DoNotDisturb;
        case skype::UserStatus::Offline:
        case skype::UserStatus::Invisible:
        case skype::UserStatus::LoggedOut:
            return rules::Presence::Offline;
        default:
            return rules::Presence::Online;
    }
}

rules::CallFacts FactsOfCall(CallServices& services, skype::Skype* skype,
                             const std::string& handle) {
    rules::CallFacts facts;
    facts.caller = rules::FoldCase(handle);
    if (IsAnonymous(facts.caller)) {
        facts.caller.clear();
    } else if (skype != nullptr) {
        FillContact(*skype, facts);
    }
    facts.when = rules::ToCivilTime(services.clock.WallNow());
    facts.presence = PresenceOf(services.shared.MyStatus.load());
    return facts;
}

rules::RuleWorld WorldOf(CallServices& services, const std::filesystem::path& ownFolder) {
    return {[&services](int32_t item) { return services.settings.FindTone(item).has_value(); },
            [ownFolder](const std::string& file) {
                std::error_code error;
                return std::filesystem::is_regular_file(platform::ResolveNoCase(ownFolder, file),
                                                        error);
            }};
}

RuleOutcome DecideByRules(CallServices& services, skype::Skype* skype, const std::string& handle,
                          const std::optional<std::filesystem::path>& ownFolder) {
    if (services.rules == nullptr || !ownFolder) {
        return {};
    }
    const auto list = services.rules->For(*ownFolder);
    if (list->empty()) {
        return {};
    }
    const rules::CallFacts facts = FactsOfCall(services, skype, handle);
    const rules::Decision decision = rules::Decide(*list, facts, WorldOf(services, *ownFolder));
    for (const std::string& line : decision.passedOver) {
        platform::Trace("Rules: %s; the next rule is tried\n", line.c_str());
    }
    if (!decision.rule) {
        platform::Trace("Rules: no rule decides the call from %s\n", handle.c_str());
        return {};
    }
    platform::Trace("Rules: rule %d (\"%s\") decides the call from %s: %s\n", decision.index + 1,
                    decision.rule->name.c_str(), handle.c_str(),
                    rules::DescribeActions(decision.rule->then).c_str());
    return {decision.index, decision.rule->name, decision.rule->then};
}

}  // namespace velto::calls
