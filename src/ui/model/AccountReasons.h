#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "i18n/TextKey.h"

// The reasons the SIP settings give for a refused value or a failed save, in English as
// velto-account prints them, in a language of the windows. Each reason the settings can give
// has a text key whose English text is the reason itself with {1} for what varies (the
// user's own text, a number, a path, or a reason given inside it); the English is matched
// against those and the language's text is filled in with the same {1}.
namespace velto::ui {

// `english` in `language`; nothing when it (or a reason inside it) is none of the known ones.
std::optional<std::u16string> TranslateReason(const std::string& english, int32_t language);

// `english` in `language`, or as it is when it is not known: a reason is never lost.
std::u16string LocalReason(const std::string& english, int32_t language);

// The keys `english` was matched with, the outer one first; empty when it is not known.
std::vector<i18n::TextKey> ReasonKeysOf(const std::string& english);

// Every key of a reason.
std::span<const i18n::TextKey> AccountReasonKeys();

}  // namespace velto::ui
