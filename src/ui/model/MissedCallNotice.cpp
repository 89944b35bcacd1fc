#include "ui/model/MissedCallNotice.h"

#include "i18n/LanguageTable.h"
#include "ui/model/MissedCallRows.h"

namespace velto::ui {

MissedCallNotice MakeMissedCallNotice(const calls::MissedCall& record, const ContactList& contacts,
                                      int32_t language) {
    MissedCallNotice notice;
    notice.record = record;
    notice.language = language;
    notice.canPlay = record.hasVoiceMessage && !record.voiceFile.empty();
    notice.title = i18n::GetText(
        notice.canPlay ? i18n::TXT_NOTE_VOICE_MESSAGE : i18n::TXT_NEW_MISSED_CALL, language);
    const std::vector<MissedCallRow> rows = MakeMissedCallRows({record}, contacts);
    notice.caller = rows.empty() ? std::u16string() : rows.front().name;
    if (notice.caller.empty()) {
        notice.caller = i18n::GetText(i18n::TXT_UNKNOWN_CALLER, language);
    }
    if (notice.caller.size() > kMaxCallerLength) {
        size_t cut = kMaxCallerLength;
        // Never half a surrogate pair.
        if (notice.caller[cut - 1] >= 0xD800 && notice.caller[cut - 1] <= 0xDBFF) {
            --cut;
        }
        notice.caller.resize(cut);
        notice.caller += u'\u2026';
    }
    return notice;
}

std::u16string EscapeNotificationMarkup(std::u16string_view text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (const char16_t c : text) {
        switch (c) {
            case u'&':
                escaped += u"&amp;";
                break;
            case u'<':
                escaped += u"&lt;";
                break;
            case u'>':
                escaped += u"&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace velto::ui
