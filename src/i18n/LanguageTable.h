#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "i18n/Languages.h"
#include "i18n/TextKey.h"

namespace velto::i18n {

// The product's ring-tone web site; every language's TXT_TONE_INFO_MESSAGE ends in it.
constexpr std::u16string_view kToneWebSite = u"http://www.velto.com/ringtones";

// Builds the table of every (language, key) text. Only the first call does the work; the
// table is read-only afterwards, so any thread may read it without a lock. GetText builds
// it on first use too, so calling this at start-up only moves the work to a known moment.
void FillLanguageTable();

// The text stored for the pair, as a copy. Language -1 (none chosen yet) holds the English
// text for TXT_DEFAULT_RINGTONE, TXT_SELECT_RINGTONE, TXT_DEFAULT_RINGBACK,
// TXT_RINGBACK_QUESTION and TXT_RINGTONE_QUESTION and an empty text for every other key.
// A language outside -1..14 (a hand-edited registry value) reads as English; a number that
// is no key gives an empty text.
std::u16string GetText(TextKey key, int32_t language);
inline std::u16string GetText(int32_t language, TextKey key) {
    return GetText(key, language);
}

}  // namespace velto::i18n
