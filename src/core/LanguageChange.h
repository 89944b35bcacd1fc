#pragma once

#include <cstdint>
#include <functional>

#include "core/SharedState.h"
#include "i18n/RefreshList.h"

namespace velto::core {

// Writes DefaultLanguage (REG_DWORD) in the user's key; returns 0 or the system error code.
// It traces nothing itself: ChangeLanguage traces the outcome.
using DefaultLanguageWriter = std::function<int(int32_t language)>;

// The user picked `language` in the options dialog's language list. The current language
// follows at once. While Skype is attached the choice lasts only until the process ends
// (the stored default and the registry stay); otherwise it also becomes the stored default
// and is written to DefaultLanguage. Every window in the refresh list is then told to
// re-read its texts. A language outside 0..14 is refused (false) and changes nothing.
bool ChangeLanguage(SharedState& state, int32_t language, const DefaultLanguageWriter& write,
                    i18n::RefreshList& refresh);

}  // namespace velto::core
