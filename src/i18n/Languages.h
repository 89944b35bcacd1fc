#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace velto::i18n {

// A language is a signed index 0..14; -1 means that none has been chosen yet.
constexpr int32_t kNoLanguage = -1;
constexpr int32_t kLanguageCount = 15;

constexpr int32_t kChineseSimplified = 0;
constexpr int32_t kChineseTraditional = 1;
constexpr int32_t kGerman = 2;
constexpr int32_t kEnglish = 3;
constexpr int32_t kSwedish = 14;

constexpr bool IsLanguage(int32_t language) {
    return language >= 0 && language < kLanguageCount;
}

// The name shown in the language lists: own script, then the English name in parentheses.
// Empty for anything but 0..14.
std::u16string_view DisplayName(int32_t language);

// The code that the web-panel addresses carry after "?lang=". A language outside 0..14
// gives the English code, so an address is never built from an empty or foreign code.
std::string_view LanguageCode(int32_t language);

// The language whose code is `code` (exact, as LanguageCode writes it).
std::optional<int32_t> LanguageFromCode(std::string_view code);

}  // namespace velto::i18n
