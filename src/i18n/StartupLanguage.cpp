#include "i18n/StartupLanguage.h"

#include "i18n/Languages.h"
#include "platform/Trace.h"

namespace velto::i18n {

StartupLanguage ResolveStartupLanguage(std::optional<uint32_t> stored, LanguageChooser& chooser) {
    if (stored && *stored != 0xFFFFFFFFu) {
        const auto language = static_cast<int32_t>(*stored);
        if (IsLanguage(language)) {
            return {language, false};
        }
        // Every text and web address is indexed by the language, so never run with one
        // that does not exist: ask again as on the first start.
        platform::Trace("DefaultLanguage %u is no language, asking again\n", *stored);
    }
    int32_t chosen = chooser.ChooseLanguage();
    if (!IsLanguage(chosen)) {
        platform::Trace("Language chooser answered %d, taking English\n", static_cast<int>(chosen));
        chosen = kEnglish;
    }
    return {chosen, true};
}

}  // namespace velto::i18n
