#include "i18n/Languages.h"

namespace velto::i18n {
namespace {

struct LanguageInfo {
    std::u16string_view displayName;
    std::string_view code;
};

constexpr std::array<LanguageInfo, kLanguageCount> kLanguages = {{
    {u"簡體中文 (Chinese Simplified)", "chs"},
    {u"繁體中文 (Chinese Traditional)", "cht"},
    {u"Deutsch (German)", "de"},
    {u"English (English)", "eng"},
    {u"Español (Spanish)", "sp"},
    {u"Français (French)", "fr"},
    {u"Italiano (Italian)", "it"},
    {u"日本語 (Japanese)", "jpn"},
    {u"한국어 (Korean)", "kr"},
    {u"Nederlands (Dutch)", "dt"},
    {u"Polski (Polish)", "po"},
    {u"Português Brasileiro (Portuguese Brazil)", "br"},
    {u"Bahasa Indonesia (Indonesian)", "ind"},
    {u"Русский (Russian)", "rus"},
    {u"Svenska (Swedish)", "swe"},
}};

}  // namespace

std::u16string_view DisplayName(int32_t language) {
    return IsLanguage(language) ? kLanguages[language].displayName : std::u16string_view();
}

std::string_view LanguageCode(int32_t language) {
    return kLanguages[IsLanguage(language) ? language : kEnglish].code;
}

std::optional<int32_t> LanguageFromCode(std::string_view code) {
    for (int32_t language = 0; language < kLanguageCount; ++language) {
        if (kLanguages[language].code == code) {
            return language;
        }
    }
    return std::nullopt;
}

}  // namespace velto::i18n
