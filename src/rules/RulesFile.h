#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "rules/Rule.h"

namespace velto::rules {

// The rules file's name in the user's folder, beside the setting file.
inline constexpr char kRulesFileName[] = "rules.json";

struct LoadedRules {
    RuleList rules;
    // What was wrong, one line each, for the trace and the user; empty for a sound file.
    std::vector<std::string> report;
};

// Reads the rules. A missing file is no rules. A file with bad rules keeps its good ones:
// the damaged file is kept as FILE.bad-N and the good rules are written back, so that the
// next start reads a sound file and nothing the user wrote is lost. A file with nothing
// usable is kept aside the same way and no rules are used.
LoadedRules LoadRulesFile(const std::filesystem::path& path);

// Writes the rules atomically (the old file or the new, never a torn one). Returns 0 or
// an errno value.
int SaveRulesFile(const std::filesystem::path& path, const RuleList& rules);

}  // namespace velto::rules
