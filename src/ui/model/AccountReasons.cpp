#include "ui/model/AccountReasons.h"

#include <array>
#include <string_view>

#include "i18n/LanguageTable.h"
#include "platform/Text.h"
#include "sipaccount/SipSettingList.h"
#include "ui/model/RegistrationText.h"

namespace velto::ui {
namespace {

// In the order of the keys; the English texts are the settings layer's own words.
constexpr std::array kReasonKeys = {
    i18n::TXT_REASON_NAME_TOO_LONG,  i18n::TXT_REASON_NAME_CHARACTER,
    i18n::TXT_REASON_HOST_PORT,      i18n::TXT_REASON_NO_USER,
    i18n::TXT_REASON_ENCRYPTION,     i18n::TXT_REASON_ABSOLUTE_PATH,
    i18n::TXT_REASON_ON_OFF,         i18n::TXT_REASON_MAX_CALLS,
    i18n::TXT_REASON_EXPIRY,         i18n::TXT_REASON_NO_IDENTITY,
    i18n::TXT_REASON_PORT_RANGE,     i18n::TXT_REASON_PORT,
    i18n::TXT_REASON_TRANSPORT,      i18n::TXT_REASON_SIPS_TRANSPORT,
    i18n::TXT_REASON_PARAMETER,      i18n::TXT_REASON_OPEN_BRACKET,
    i18n::TXT_REASON_IPV6,           i18n::TXT_REASON_AFTER_IPV6,
    i18n::TXT_REASON_NO_HOST,        i18n::TXT_REASON_HOST_CHARACTER,
    i18n::TXT_REASON_OPEN_ANGLE,     i18n::TXT_REASON_STRAY_QUOTE,
    i18n::TXT_REASON_NO_ADDRESS,     i18n::TXT_REASON_LONG_ADDRESS,
    i18n::TXT_REASON_SCHEME,         i18n::TXT_REASON_EMPTY_USER,
    i18n::TXT_REASON_USER_CHARACTER, i18n::TXT_REASON_ADDRESS_PORT,
    i18n::TXT_REASON_IPV4,           i18n::TXT_REASON_ACCOUNT_SAVE,
    i18n::TXT_REASON_FILE_NOT_SAVED, i18n::TXT_REASON_OLD_PASSWORD,
    i18n::TXT_REASON_TURN_FORM,      i18n::TXT_REASON_TURNS_OVER_TLS,
    i18n::TXT_REASON_TURN_TLS,
};

// The reasons whose {1} is itself a reason (the rest keep theirs as they are).
bool HoldsReason(i18n::TextKey key) {
    return key == i18n::TXT_REASON_OLD_PASSWORD;
}

struct ReasonMatch {
    i18n::TextKey key;
    std::string argument;  // what {1} stood for; empty without one
};

// A reason's English text cut at its {1}.
struct ReasonPattern {
    i18n::TextKey key;
    std::string before;
    std::string after;
    bool slot = false;
};

const std::vector<ReasonPattern>& Patterns() {
    static const std::vector<ReasonPattern> patterns = [] {
        std::vector<ReasonPattern> all;
        for (i18n::TextKey key : kReasonKeys) {
            const std::string english = platform::Utf16ToUtf8(i18n::GetText(key, i18n::kEnglish));
            const size_t slot = english.find("{1}");
            if (slot == std::string::npos) {
                all.push_back({key, english, {}, false});
            } else {
                all.push_back({key, english.substr(0, slot), english.substr(slot + 3), true});
            }
        }
        return all;
    }();
    return patterns;
}

// The key whose English text `english` is, with its {1}; of several, the one with the most
// fixed text ("the account could not be saved in {1}" before "{1} could not be saved").
std::optional<ReasonMatch> MatchReason(std::string_view english) {
    std::optional<ReasonMatch> best;
    size_t bestFixed = 0;
    for (const ReasonPattern& pattern : Patterns()) {
        const size_t fixed = pattern.before.size() + pattern.after.size();
        if ((best && fixed <= bestFixed) || english.size() < fixed ||
            !english.starts_with(pattern.before) || !english.ends_with(pattern.after) ||
            (!pattern.slot && english.size() != fixed)) {
            continue;
        }
        best =
            ReasonMatch{pattern.key,
                        std::string(english.substr(pattern.before.size(), english.size() - fixed))};
        bestFixed = fixed;
    }
    return best;
}

// "Listen: " of a refused save, the setting as the user file names it.
size_t SettingPrefix(std::string_view english) {
    for (const skype::sip::SipSettingInfo& setting : skype::sip::SipSettingList()) {
        const std::string prefix = std::string(setting.value) + ": ";
        if (english.starts_with(prefix)) {
            return prefix.size();
        }
    }
    return 0;
}

// `english` in `language` into `text`, its keys into `keys`; false when it, or a reason inside
// it, is unknown (what is unknown stays English, what is known around it is still translated).
bool TranslateInto(std::string_view english, int32_t language, std::u16string& text,
                   std::vector<i18n::TextKey>& keys) {
    if (const size_t prefix = SettingPrefix(english)) {
        const bool known = TranslateInto(english.substr(prefix), language, text, keys);
        text = platform::Utf8ToUtf16(english.substr(0, prefix)) + text;
        return known;
    }
    const auto match = MatchReason(english);
    if (!match) {
        text = platform::Utf8ToUtf16(english);
        return false;
    }
    keys.push_back(match->key);
    std::u16string argument;
    bool known = true;
    if (HoldsReason(match->key)) {
        known = TranslateInto(match->argument, language, argument, keys);
    } else {
        argument = platform::Utf8ToUtf16(match->argument);
    }
    text = FillIn(i18n::GetText(match->key, language), argument);
    return known;
}

}  // namespace

std::optional<std::u16string> TranslateReason(const std::string& english, int32_t language) {
    std::u16string text;
    std::vector<i18n::TextKey> keys;
    if (!TranslateInto(english, language, text, keys)) {
        return std::nullopt;
    }
    return text;
}

std::u16string LocalReason(const std::string& english, int32_t language) {
    std::u16string text;
    std::vector<i18n::TextKey> keys;
    TranslateInto(english, language, text, keys);
    return text;
}

std::vector<i18n::TextKey> ReasonKeysOf(const std::string& english) {
    std::u16string text;
    std::vector<i18n::TextKey> keys;
    if (!TranslateInto(english, i18n::kEnglish, text, keys)) {
        return {};
    }
    return keys;
}

std::span<const i18n::TextKey> AccountReasonKeys() {
    return kReasonKeys;
}

}  // namespace velto::ui
