#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "callapi/Skype.h"
#include "calls/CallServices.h"
#include "rules/Rule.h"

namespace velto::ui {

// Who calls in the "What happens now?" line.
struct PreviewCaller {
    enum class Kind { Contact, Unknown, Anonymous };
    Kind kind = Kind::Contact;
    std::string handle;  // for Kind::Contact
};

// A call thought through: which rule decides (by the program's own matcher) and what
// follows, in the language's words.
struct RulePreview {
    int index = -1;          // the deciding rule's row; -1: no rule decides
    std::u16string heading;  // "Rule 2 “Weekend”" or "No rule decides"
    std::u16string outcome;  // "Silence; Ring; Answering machine after 0 s"
};

struct PreviewQuestion {
    PreviewCaller caller;
    std::chrono::system_clock::time_point when;
    rules::Presence presence = rules::Presence::Online;
};

// `skype` may be null (no contacts); `ownFolder` holds the files the rules name.
RulePreview PreviewRules(const rules::RuleList& list, const PreviewQuestion& question,
                         calls::CallServices& services, skype::Skype* skype,
                         const std::filesystem::path& ownFolder, int32_t language);

// The actions' words as the page shows them, for a call from `handle` (empty: a caller
// without a tone of their own); without a caller (a rule's list entry) a tone the rule
// leaves out reads "as without rules".
std::u16string DescribeOutcome(const rules::Actions& then, const std::optional<std::string>& handle,
                               calls::CallServices& services, int32_t language);

}  // namespace velto::ui
