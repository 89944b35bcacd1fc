#include "ui/model/OptionRowText.h"

#include "calls/RingBackTone.h"
#include "i18n/LanguageTable.h"
#include "platform/Text.h"

namespace velto::ui {

std::u16string StandardToneName(const ToneContext& context, int32_t language) {
    switch (context.settings.StandardTone()) {
        case 1:
            return context.settings.OwnToneTitle();
        case 2: {
            const std::string key = platform::Utf16ToUtf8(context.settings.PartnerToneKey());
            for (const partner::PartnerTone& tone : context.PartnerTones()) {
                if (tone.key == key) {
                    return platform::Utf8ToUtf16(tone.title);
                }
            }
            return {};
        }
        default:
            return i18n::GetText(i18n::TXT_SYSTEM_DEFAULT, language);
    }
}

OptionRowText MakeOptionRowText(const ToneContext& context, const std::string& handle,
                                int32_t language) {
    const core::RingBackChoice choice = context.settings.FindOrAddRingBack(handle);
    OptionRowText text;
    switch (choice.mode) {
        case calls::kModeAd:
            text.link = calls::kAdLabel;
            break;
        case calls::kModeStandard:
            text.link = i18n::GetText(i18n::TXT_STANDARD_RINGBACK, language);
            text.tooltip = StandardToneName(context, language);
            break;
        case calls::kModeFirstItem:
        case calls::kModeSecondItem: {
            const int32_t id =
                choice.mode == calls::kModeFirstItem ? choice.firstId : choice.secondId;
            const auto tone = context.settings.FindTone(id);
            text.link = tone ? tone->title : std::u16string();
            break;
        }
        default:
            text.link = i18n::GetText(i18n::TXT_RINGBACK_TONE, language);
            break;
    }
    if (text.tooltip.empty()) {
        text.tooltip = text.link;
    }
    return text;
}

}  // namespace velto::ui
