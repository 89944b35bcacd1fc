// Any text for any SIP setting: the reason it is refused for is known to the windows in every
// language, and the windows' text for it holds the user's text the reason quotes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "i18n/Languages.h"
#include "sipaccount/SipSettingList.h"
#include "ui/model/AccountReasons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& setting : velto::skype::sip::SipSettingList()) {
        const auto reason = velto::skype::sip::CheckSipSetting(setting, text);
        if (!reason) {
            continue;
        }
        for (int32_t language = 0; language < velto::i18n::kLanguageCount; ++language) {
            if (!velto::ui::TranslateReason(*reason, language)) {
                __builtin_trap();
            }
        }
    }
    // Whatever the text, the windows show something for it, and English as it is.
    const std::u16string shown = velto::ui::LocalReason(text, velto::i18n::kGerman);
    if (!text.empty() && shown.empty()) {
        __builtin_trap();
    }
    return 0;
}
