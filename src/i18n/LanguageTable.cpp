#include "i18n/LanguageTable.h"

#include <array>

#include "i18n/TextEntry.h"

namespace velto::i18n {

static_assert(kToneWebSite == std::u16string_view(VELTO_TONE_WEB_SITE));

std::span<const TextEntry> TextsOf(int language) {
    using List = std::span<const TextEntry> (*)();
    static constexpr std::array<List, kLanguageCount> kLists = {ChineseSimplifiedTexts,
                                                                ChineseTraditionalTexts,
                                                                GermanTexts,
                                                                EnglishTexts,
                                                                SpanishTexts,
                                                                FrenchTexts,
                                                                ItalianTexts,
                                                                JapaneseTexts,
                                                                KoreanTexts,
                                                                DutchTexts,
                                                                PolishTexts,
                                                                BrazilianPortugueseTexts,
                                                                IndonesianTexts,
                                                                RussianTexts,
                                                                SwedishTexts};
    return IsLanguage(language) ? kLists[language]() : std::span<const TextEntry>();
}

namespace {

using Row = std::array<std::u16string, kTextKeyCount>;

// Row 0 is the -1 slot, row L + 1 is language L.
struct Table {
    std::array<Row, kLanguageCount + 1> rows;
};

Row RowFrom(std::span<const TextEntry> entries) {
    Row row;
    for (const TextEntry& entry : entries) {
        if (IsTextKey(entry.key)) {
            row[entry.key] = entry.text;
        }
    }
    return row;
}

Table Build() {
    Table table;
    const Row english = RowFrom(EnglishTexts());
    for (int32_t language = 0; language < kLanguageCount; ++language) {
        Row row = RowFrom(TextsOf(language));
        for (int key = 0; key < kTextKeyCount; ++key) {
            if (row[key].empty() && key != TXT_PARTNER_SLOGAN) {
                row[key] = english[key];
            }
        }
        table.rows[language + 1] = std::move(row);
    }
    // Before a language is chosen only the ring-tone page's texts exist, in English.
    Row& none = table.rows[0];
    for (TextKey key : {TXT_DEFAULT_RINGTONE, TXT_SELECT_RINGTONE, TXT_DEFAULT_RINGBACK,
                        TXT_RINGBACK_QUESTION, TXT_RINGTONE_QUESTION}) {
        none[key] = english[key];
    }
    return table;
}

const Table& TheTable() {
    static const Table table = Build();
    return table;
}

}  // namespace

void FillLanguageTable() {
    TheTable();
}

std::u16string GetText(TextKey key, int32_t language) {
    if (!IsTextKey(key)) {
        return {};
    }
    if (language != kNoLanguage && !IsLanguage(language)) {
        language = kEnglish;
    }
    return TheTable().rows[language + 1][key];
}

}  // namespace velto::i18n
