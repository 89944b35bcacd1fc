#pragma once

// The translations, one list per language, that the language table is assembled from.
// Internal to the language table (and its tests).

#include <span>
#include <string_view>

#include "i18n/TextKey.h"

namespace velto::i18n {

struct TextEntry {
    TextKey key;
    std::u16string_view text;
};

// Every chat message that names a tone ends in this address (see kToneWebSite).
#define VELTO_TONE_WEB_SITE u"http://www.velto.com/ringtones"

// A list may leave out a key; the table then carries the English text for it, except for
// TXT_PARTNER_SLOGAN, which stays empty where it is not given.
std::span<const TextEntry> ChineseSimplifiedTexts();
std::span<const TextEntry> ChineseTraditionalTexts();
std::span<const TextEntry> GermanTexts();
std::span<const TextEntry> EnglishTexts();
std::span<const TextEntry> SpanishTexts();
std::span<const TextEntry> FrenchTexts();
std::span<const TextEntry> ItalianTexts();
std::span<const TextEntry> JapaneseTexts();
std::span<const TextEntry> KoreanTexts();
std::span<const TextEntry> DutchTexts();
std::span<const TextEntry> PolishTexts();
std::span<const TextEntry> BrazilianPortugueseTexts();
std::span<const TextEntry> IndonesianTexts();
std::span<const TextEntry> RussianTexts();
std::span<const TextEntry> SwedishTexts();

// The list of a language 0..14, by index.
std::span<const TextEntry> TextsOf(int language);

}  // namespace velto::i18n
