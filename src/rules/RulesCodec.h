#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "rules/Rule.h"

namespace velto::rules {

// A rules file larger than this is refused unread.
inline constexpr size_t kMaxRulesFileBytes = 4u << 20;
inline constexpr size_t kMaxRules = 10000;
inline constexpr size_t kMaxListEntries = 10000;  // contacts or groups of one rule
inline constexpr size_t kMaxTextBytes = 256;      // a name, handle, group or file name
inline constexpr int kMaxNesting = 8;

// What is wrong, where: `index` is the rule's place (0-based), -1 for the file as a whole;
// `field` the field's path in the rule ("when.time.from").
struct RuleProblem {
    int index = -1;
    std::string field;
    std::string message;
    std::string Describe() const;
};

struct DecodedRules {
    bool readable = false;  // false: nothing of the file can be used
    RuleList rules;         // the good rules, in file order
    std::vector<RuleProblem> problems;
};

// The rules file: JSON, {"format": "velto-rules", "version": 1, "rules": [...]}. A rule
// with any bad field is left out and reported; the others are kept.
DecodedRules DecodeRules(std::string_view text);

// The file's text for `rules` (indented, fields in a fixed order, ending in a newline).
std::string EncodeRules(const RuleList& rules);

}  // namespace velto::rules
