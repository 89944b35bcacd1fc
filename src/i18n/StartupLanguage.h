#pragma once

#include <cstdint>
#include <optional>

#include "i18n/LanguageChooser.h"

namespace velto::i18n {

struct StartupLanguage {
    int32_t language;  // the stored default language, and the current one, 0..14
    bool mustStore;    // the user was asked: write `language` to DefaultLanguage
};

// Decides the language to start with from DefaultLanguage as read (nothing when it could
// not be read). An absent value, 0xFFFFFFFF, or a value that is no language (a hand edit)
// asks the chooser, whose answer must then be stored.
StartupLanguage ResolveStartupLanguage(std::optional<uint32_t> stored, LanguageChooser& chooser);

}  // namespace velto::i18n
