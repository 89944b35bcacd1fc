#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rules/Rule.h"

namespace velto::rules {

// A rule written as words, for scripts and scenario files:
//   NAME [callers=alice,group:family,unknown,anonymous] [days=sat,sun] [time=22:00-07:00]
//        [dates=2026-12-24..2026-12-26] [presence=dnd,away] [off]
//        [tone=standard|silence|item:N|FILE] [ring=on|off] [ringtone=FILE]
//        [ring-seconds=N] [greeting=FILE] [refuse]
// Every value is checked as the rules file checks it. `toneItem` turns a tone named by
// FILE into its catalogue item (nothing: unknown file).
struct ParsedRuleWords {
    std::optional<Rule> rule;
    std::string error;
};
ParsedRuleWords ParseRuleWords(
    const std::vector<std::string>& words,
    const std::function<std::optional<int32_t>(const std::string&)>& toneItem);

}  // namespace velto::rules
