#include "core/LanguageChange.h"

#include "i18n/Languages.h"
#include "platform/Trace.h"

namespace velto::core {

bool ChangeLanguage(SharedState& state, int32_t language, const DefaultLanguageWriter& write,
                    i18n::RefreshList& refresh) {
    if (!i18n::IsLanguage(language)) {
        platform::Trace("Language %d is no language, ignored\n", static_cast<int>(language));
        return false;
    }
    state.CurrentLanguage = language;
    if (!state.SkypeAttached) {
        state.DefaultLanguageIndex = language;
        // A failed write is only traced: the languages in memory keep the new value.
        const int error = write ? write(language) : 0;
        if (error != 0) {
            platform::Trace("Fail to set key value %d\n", error);
        } else {
            platform::Trace("OK to set key value\n");
        }
    }
    refresh.BroadcastRefresh(language);
    return true;
}

}  // namespace velto::core
