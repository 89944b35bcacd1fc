#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rules/CallFacts.h"
#include "rules/Rule.h"

namespace velto::rules {

// What the rules name outside themselves, so that a rule naming a tone, a contact or a file
// that is gone can be passed over instead of giving a silent call.
struct RuleWorld {
    std::function<bool(int32_t item)> hasToneItem;
    std::function<bool(const std::string& file)> hasUserFile;
};

struct Decision {
    int index = -1;  // the deciding rule's place in the list; -1: no rule decides
    const Rule* rule = nullptr;
    // One line per rule that matched but could not be used, in list order.
    std::vector<std::string> passedOver;
};

// The first enabled rule that holds for the call and whose tone and files exist.
Decision Decide(const RuleList& rules, const CallFacts& call, const RuleWorld& world);

// Whether the conditions hold for the call, by time, presence and caller. A rule naming the
// caller as a contact who is no longer one does not hold; `goneContact` says so.
bool Holds(const Conditions& when, const CallFacts& call, bool* goneContact = nullptr);

// Handles, group names: compared without regard to ASCII letter case.
std::string FoldCase(std::string_view text);

}  // namespace velto::rules
