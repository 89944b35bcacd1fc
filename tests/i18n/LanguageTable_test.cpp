#include "i18n/LanguageTable.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <climits>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include "i18n/TextEntry.h"

namespace velto::i18n {
namespace {

std::vector<TextKey> AllKeys() {
    std::vector<TextKey> keys;
    for (int key = 0; key < kTextKeyCount; ++key) {
        keys.push_back(static_cast<TextKey>(key));
    }
    return keys;
}

// The keys a language's own list gives (the rest carry the English text).
std::set<TextKey> ListedKeys(int language) {
    std::set<TextKey> keys;
    for (const TextEntry& entry : TextsOf(language)) {
        keys.insert(entry.key);
    }
    return keys;
}

TEST(LanguageTable, EnglishTextsAreExact) {
    const std::map<TextKey, std::u16string> expected = {
        {TXT_BROWSE, u"Browse"},
        {TXT_OK, u"OK"},
        {TXT_CANCEL, u"Cancel"},
        {TXT_PLAY, u"Play"},
        {TXT_INVALID_FORMAT, u"Invalid format"},
        {TXT_DELETE, u"Delete"},
        {TXT_CONFIRM_DELETION, u"Confirm Deletion\uFF1F"},
        {TXT_SIGN_IN_SKYPE, u"Please Sign In Skype"},
        {TXT_MISSED_CALL, u"Missed Call"},
        {TXT_OPTIONS, u"Options"},
        {TXT_RINGBACK_TONE, u"Ringback Tone"},
        {TXT_RINGBACK_SETTINGS, u"Ringback Tone Settings"},
        {TXT_CHOOSE_RINGBACK, u"Choose a Ringback Tone"},
        {TXT_MISSED_CALL_TITLE, u"Missed Call"},
        {TXT_START_AT_LOGIN, u"Start Velto when I log in"},
        {TXT_TONE_INFO_OPTION, u"Enable ringback tone info message function"},
        {TXT_GENERAL, u"General"},
        {TXT_AUTO_UPDATE, u"Auto Update"},
        {TXT_SELECT_LANGUAGE, u"Select language"},
        {TXT_VOICE_MAIL, u"Voice Mail"},
        {TXT_ENABLE_VOICE_MAIL, u"Enable Voice Mail"},
        {TXT_DEFAULT_GREETING, u"Default Greeting"},
        {TXT_SELECT_GREETING, u"Select Greeting"},
        {TXT_ABOUT, u"About"},
        {TXT_HELP, u" Help"},
        {TXT_FEEDBACK, u"Feedback"},
        {TXT_RINGTONE_SETTINGS, u"Ringtone Settings"},
        {TXT_DEFAULT_RINGTONE, u"Default Ringtone"},
        {TXT_SELECT_RINGTONE, u"Select Ringtone"},
        {TXT_DEFAULT_RINGBACK, u"Default Ringback Tone"},
        {TXT_RINGBACK_QUESTION, u"What do you want your contacts to hear when they call?"},
        {TXT_RINGTONE_QUESTION, u"What do you want to hear when contacts call you?"},
        {TXT_OPEN, u"Open Velto"},
        {TXT_QUIT, u"Quit"},
        {TXT_NEW_MISSED_CALL, u"New missed call"},
        {TXT_UPDATE_SKYPE, u"Please update to the latest Skype version."},
        {TXT_MP3_LEGAL_NOTE,
         u"Make sure that you import songs (other than those provided by this application or "
         u"its suppliers), making them available to others online, only in compliance with the "
         u"relevant laws and regulations."},
        {TXT_SLOGAN, u"Let friends hear your MP3s when they call!"},
        {TXT_TONE_INFO_MESSAGE,
         u"\"%s\" set this MP3%n specially for you, with Velto! More infos: "
         u"http://www.velto.com/ringtones"},
        {TXT_GIVE_PERMISSION, u"Open Skype and give Velto permission to use it."},
        {TXT_STANDARD_RINGBACK, u"Standard Ringback Tone"},
        {TXT_SYSTEM_DEFAULT, u"System default"},
        {TXT_CHANGE, u"Change"},
        {TXT_PARTNER_SLOGAN, u""},
        {TXT_RULES, u"Rules"},
        {TXT_RULE, u"Rule"},
        {TXT_RULE_ADD, u"Add"},
        {TXT_RULE_EDIT, u"Edit"},
        {TXT_RULE_MOVE_UP, u"Move up"},
        {TXT_RULE_MOVE_DOWN, u"Move down"},
        {TXT_RULE_WHAT_NOW, u"What happens now?"},
        {TXT_RULE_NONE_DECIDES, u"No rule decides"},
        {TXT_RULE_NEW, u"New rule"},
        {TXT_RULE_NAME, u"Name"},
        {TXT_RULE_WHEN, u"When"},
        {TXT_RULE_THEN, u"Then"},
        {TXT_RULE_CALLERS, u"Callers (anyone when none is ticked)"},
        {TXT_RULE_GROUP, u"Group"},
        {TXT_RULE_UNKNOWN, u"Not in my contacts"},
        {TXT_RULE_ANONYMOUS, u"Anonymous (no caller id)"},
        {TXT_RULE_DAYS, u"Days"},
        {TXT_RULE_TIME, u"Time"},
        {TXT_RULE_DATES, u"Dates"},
        {TXT_RULE_MY_STATUS, u"My status"},
        {TXT_STATUS_ONLINE, u"Online"},
        {TXT_STATUS_AWAY, u"Away"},
        {TXT_STATUS_DND, u"Do not disturb"},
        {TXT_STATUS_OFFLINE, u"Offline"},
        {TXT_RULE_UNCHANGED, u"As without rules"},
        {TXT_RULE_SILENCE, u"Silence"},
        {TXT_RULE_RING_ME, u"Ring me"},
        {TXT_RULE_RING, u"Ring"},
        {TXT_RULE_SILENT_PANEL, u"Panel only, silently"},
        {TXT_RULE_RINGTONE, u"Ring tone"},
        {TXT_RULE_MACHINE_AFTER, u"Answering machine after"},
        {TXT_RULE_GREETING, u"Greeting"},
        {TXT_RULE_REFUSE, u"Refuse the call (busy)"},
        {TXT_NOTE_VOICE_MESSAGE, u"New voice message"},
        {TXT_NOTE_CALL_LIST, u"Call list"},
        {TXT_UNKNOWN_CALLER, u"Unknown caller"},
        {TXT_TRAY_MISSED_CALLS, u"Missed calls"},
    };
    // Every text of the original program is here (keys after TXT_PARTNER_SLOGAN are the
    // program's own; some of those too).
    ASSERT_EQ(std::count_if(expected.begin(), expected.end(),
                            [](const auto& entry) { return entry.first <= TXT_PARTNER_SLOGAN; }),
              TXT_PARTNER_SLOGAN + 1);
    for (const auto& [key, text] : expected) {
        EXPECT_EQ(GetText(key, kEnglish), text) << TextKeyName(key);
    }
    // The two oddities that the windows rely on, spelled out in code units.
    EXPECT_EQ(GetText(TXT_HELP, kEnglish)[0], u' ');
    EXPECT_EQ(GetText(TXT_CONFIRM_DELETION, kEnglish).back(), char16_t{0xFF1F});
}

TEST(LanguageTable, EveryLanguageHasEveryTextAndOnlyTraditionalChineseThePartnerSlogan) {
    FillLanguageTable();
    FillLanguageTable();  // a second fill changes nothing
    for (int32_t language = 0; language < kLanguageCount; ++language) {
        for (TextKey key : AllKeys()) {
            const std::u16string text = GetText(key, language);
            if (key == TXT_PARTNER_SLOGAN) {
                EXPECT_EQ(text.empty(), language != kChineseTraditional) << language;
                continue;
            }
            EXPECT_FALSE(text.empty()) << language << " " << TextKeyName(key);
            // Only TXT_HELP keeps a leading blank; no text has a stray trailing one.
            EXPECT_EQ(text.front() == u' ', key == TXT_HELP) << language << " " << TextKeyName(key);
            EXPECT_NE(text.back(), u' ') << language << " " << TextKeyName(key);
            // Texts go through printf-free paths, but a stray % would still surprise the
            // replacements: only the tone message and the screening line have placeholders,
            // the screening line one name.
            const bool placeholders =
                key == TXT_TONE_INFO_MESSAGE || key == TXT_SCREEN_LEAVING_MESSAGE;
            EXPECT_EQ(text.find(u'%') != std::u16string::npos, placeholders)
                << language << " " << TextKeyName(key);
            if (key == TXT_SCREEN_LEAVING_MESSAGE) {
                EXPECT_EQ(text.find(u'%'), text.rfind(u'%')) << language;
                EXPECT_NE(text.find(u"%s"), std::u16string::npos) << language;
            }
        }
    }
}

TEST(LanguageTable, EachLanguageTranslatesExactlyWhatItShould) {
    const std::vector<TextKey> keys = AllKeys();
    const std::set<TextKey> all(keys.begin(), keys.end());
    auto allBut = [&](std::set<TextKey> left) {
        std::set<TextKey> keys;
        for (TextKey key : all) {
            if (left.count(key) == 0) {
                keys.insert(key);
            }
        }
        return keys;
    };
    EXPECT_EQ(ListedKeys(kEnglish), allBut({TXT_PARTNER_SLOGAN}));
    EXPECT_EQ(ListedKeys(kChineseSimplified), allBut({TXT_PARTNER_SLOGAN}));
    EXPECT_EQ(ListedKeys(kChineseTraditional), all);
    EXPECT_EQ(ListedKeys(kGerman),
              allBut({TXT_OK, TXT_FEEDBACK, TXT_MP3_LEGAL_NOTE, TXT_SLOGAN, TXT_PARTNER_SLOGAN}));
    int englishOk = 0;
    for (int32_t language = 4; language < kLanguageCount; ++language) {
        std::set<TextKey> listed = ListedKeys(language);
        if (listed.erase(TXT_OK) == 0) {
            ++englishOk;
        }
        EXPECT_EQ(listed, allBut({TXT_OK, TXT_MP3_LEGAL_NOTE, TXT_SLOGAN, TXT_PARTNER_SLOGAN}))
            << language;
    }
    EXPECT_GT(englishOk, (kLanguageCount - 4) / 2);  // most of them say "OK"

    // What a language does not list is the English text, byte for byte.
    for (int32_t language = 0; language < kLanguageCount; ++language) {
        const std::set<TextKey> listed = ListedKeys(language);
        int sameAsEnglish = 0;
        for (TextKey key : all) {
            // "Online" and "Offline" are the status names many languages borrow.
            if (key == TXT_PARTNER_SLOGAN || language == kEnglish || key == TXT_STATUS_ONLINE ||
                key == TXT_STATUS_OFFLINE) {
                continue;
            }
            const bool same = GetText(key, language) == GetText(key, kEnglish);
            if (listed.count(key) == 0) {
                EXPECT_TRUE(same) << language << " " << TextKeyName(key);
            } else if (same) {
                ++sameAsEnglish;  // a word both languages share ("Options", "Feedback")
            }
        }
        EXPECT_LE(sameAsEnglish, 2) << "language " << language << " copies English texts";
    }
}

TEST(LanguageTable, ListsNameEachKeyOnce) {
    for (int32_t language = 0; language < kLanguageCount; ++language) {
        std::set<TextKey> seen;
        for (const TextEntry& entry : TextsOf(language)) {
            EXPECT_TRUE(IsTextKey(entry.key)) << language;
            EXPECT_TRUE(seen.insert(entry.key).second)
                << language << " lists " << TextKeyName(entry.key) << " twice";
        }
    }
    EXPECT_TRUE(TextsOf(kNoLanguage).empty());
    EXPECT_TRUE(TextsOf(kLanguageCount).empty());
}

TEST(LanguageTable, ToneInfoMessageHasBothPlaceholdersAndEndsInTheWebSite) {
    for (int32_t language = 0; language < kLanguageCount; ++language) {
        const std::u16string text = GetText(TXT_TONE_INFO_MESSAGE, language);
        const size_t name = text.find(u"%s");
        const size_t tone = text.find(u"%n");
        EXPECT_NE(name, std::u16string::npos) << language;
        EXPECT_NE(tone, std::u16string::npos) << language;
        EXPECT_EQ(text.find(u"%s", name + 1), std::u16string::npos) << language;
        EXPECT_EQ(text.find(u"%n", tone + 1), std::u16string::npos) << language;
        ASSERT_GT(text.size(), kToneWebSite.size());
        EXPECT_EQ(std::u16string_view(text).substr(text.size() - kToneWebSite.size()), kToneWebSite)
            << language;
        // The address stands on its own, not glued to the words before it.
        const char16_t before = text[text.size() - kToneWebSite.size() - 1];
        EXPECT_TRUE(before == u' ' || before == u'：' || before == u'\u00A0') << language;
    }
}

TEST(LanguageTable, NoLanguageSlotHoldsOnlyTheRingTonePageTexts) {
    const std::set<TextKey> english = {TXT_DEFAULT_RINGTONE, TXT_SELECT_RINGTONE,
                                       TXT_DEFAULT_RINGBACK, TXT_RINGBACK_QUESTION,
                                       TXT_RINGTONE_QUESTION};
    for (TextKey key : AllKeys()) {
        const std::u16string expected =
            english.count(key) ? GetText(key, kEnglish) : std::u16string();
        EXPECT_EQ(GetText(key, kNoLanguage), expected) << TextKeyName(key);
    }
    EXPECT_EQ(GetText(TXT_RINGBACK_QUESTION, kNoLanguage),
              u"What do you want your contacts to hear when they call?");
}

TEST(LanguageTable, AnythingOutsideTheTableIsSafe) {
    for (int32_t language : {-2, 15, 16, 99, INT_MAX, INT_MIN}) {
        for (TextKey key : {TXT_OK, TXT_TONE_INFO_MESSAGE, TXT_PARTNER_SLOGAN}) {
            EXPECT_EQ(GetText(key, language), GetText(key, kEnglish)) << language;
        }
    }
    EXPECT_EQ(GetText(static_cast<TextKey>(kTextKeyCount), kEnglish), u"");
    EXPECT_EQ(GetText(static_cast<TextKey>(-1), kGerman), u"");
    EXPECT_EQ(TextKeyName(static_cast<TextKey>(kTextKeyCount)), "");
    EXPECT_EQ(TextKeyName(TXT_CONFIRM_DELETION), "TXT_CONFIRM_DELETION");
    // Either order of the arguments reads the same text.
    EXPECT_EQ(GetText(kGerman, TXT_CANCEL), GetText(TXT_CANCEL, kGerman));
    EXPECT_EQ(GetText(kGerman, TXT_CANCEL), u"Abbrechen");
}

TEST(LanguageTable, ReadersOnManyThreadsSeeTheSameTable) {
    // The first use builds the table; concurrent first readers must not race.
    std::vector<std::thread> readers;
    std::vector<std::u16string> seen(4);
    for (size_t i = 0; i < seen.size(); ++i) {
        readers.emplace_back([&seen, i] {
            for (int32_t language = -1; language < kLanguageCount; ++language) {
                seen[i] += GetText(TXT_TONE_INFO_MESSAGE, language);
            }
        });
    }
    for (std::thread& reader : readers) {
        reader.join();
    }
    for (const std::u16string& text : seen) {
        EXPECT_EQ(text, seen.front());
    }
}

TEST(Languages, DisplayNamesAndCodesAreFixed) {
    const std::vector<std::pair<std::u16string, std::string>> expected = {
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
    };
    ASSERT_EQ(expected.size(), static_cast<size_t>(kLanguageCount));
    for (int32_t language = 0; language < kLanguageCount; ++language) {
        EXPECT_EQ(DisplayName(language), expected[language].first);
        EXPECT_EQ(LanguageCode(language), expected[language].second);
        EXPECT_EQ(LanguageFromCode(expected[language].second), language);
    }
    // A web address is never built from a missing code.
    EXPECT_EQ(LanguageCode(kNoLanguage), "eng");
    EXPECT_EQ(LanguageCode(INT_MIN), "eng");
    EXPECT_EQ(DisplayName(kLanguageCount), u"");
    EXPECT_EQ(LanguageFromCode("EN"), std::nullopt);
    EXPECT_EQ(LanguageFromCode(""), std::nullopt);
}

}  // namespace
}  // namespace velto::i18n
