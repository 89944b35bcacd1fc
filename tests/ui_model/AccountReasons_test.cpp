// The SIP settings' English reasons in the windows' languages: every reason the settings'
// checks and the account's save can give is known in every language, and what the user
// typed stays in it as typed.
#include "ui/model/AccountReasons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "i18n/LanguageTable.h"
#include "platform/AtomicFile.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "sipaccount/AccountForm.h"
#include "sipaccount/SipSettings.h"
#include "support/FakePasswordStore.h"
#include "support/TempDir.h"

namespace velto::ui {
namespace {

namespace sip = skype::sip;

// A reason as the settings layer gave it, and the part of it the user (or the system) wrote.
struct Given {
    std::string reason;
    std::string own;  // empty: nothing of the user's in it
};

// `text` for `setting` as velto-account and the Account page check it; it must be refused.
Given Refused(const char* setting, const std::string& text, std::string own = {}) {
    const auto reason = sip::CheckSipSetting(*sip::FindSipSetting(setting), text);
    EXPECT_TRUE(reason) << setting << " " << text;
    return {reason.value_or(""), std::move(own)};
}

// Every check's reason, each brought about by a wrong value.
std::vector<Given> CheckReasons() {
    std::vector<Given> given = {
        Refused("auth-user", std::string(129, 'a'), "128"),
        Refused("realm", "example org"),
        Refused("turn-user", "alice\"turn"),
        Refused("stun", "alice@stun.example.org"),
        Refused("identity", "sip:example.org"),
        Refused("media-encryption", "rot13"),
        Refused("ca-file", "certs/ca.pem"),
        Refused("ice", "yes"),
        Refused("max-calls", "0"),
        Refused("expiry", "59"),
        Refused("identity", ""),
        Refused("rtp-ports", "9000-8000"),
        Refused("proxy", "sip:registrar.example.org:99999", "99999"),
        Refused("listen", "0.0.0.0:", ""),
        Refused("proxy", "sip:registrar.example.org;transport=sctp", "sctp"),
        Refused("outbound-proxy", "sips:edge.example.org;transport=udp", "udp"),
        Refused("proxy", "sip:registrar.example.org;maddr=10.1.2.3", "maddr=10.1.2.3"),
        Refused("turn", "alice@turn.example.org"),
        Refused("turn", "turns:relay.example.org?transport=udp"),
        Refused("turn", "relay.example.org;transport=tls"),
        Refused("stun", "[2001:db8::1"),
        Refused("listen", "[2001:db8::zz]:5060", "2001:db8::zz"),
        Refused("turn", "[2001:db8::7]x:3478", "x:3478"),
        Refused("outbound-proxy", "sip:[2001:db8::zz]", "[2001:db8::zz]"),
        Refused("proxy", "sip::5060"),
        Refused("stun", "stun_1.example.org", "_"),
        Refused("identity", "Alice <sip:alice@example.org"),
        Refused("identity", "Al\"ice <sip:alice@example.org>"),
        Refused("proxy", "   "),
        Refused("outbound-proxy", "sip:" + std::string(600, 'a'), "512"),
        Refused("identity", "alice@example.org"),
        Refused("identity", "sip:@example.org"),
        Refused("identity", "sip:al#ice@example.org", "#"),
        Refused("listen", "5060"),
        Refused("listen", "999.1.2.3:5060", "999.1.2.3"),
    };
    return given;
}

class AccountReasonsTest : public ::testing::Test {
  protected:
    // A user file whose writes fail from the `failFrom`-th on.
    platform::Registry MakeRegistry() {
        return platform::Registry(
            {.currentUser = dir / "user.reg",
             .localMachine = dir / "machine.reg",
             .autostartFolder = std::nullopt},
            [this](const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
                ++writes;
                if (failFrom != 0 && writes >= failFrom) {
                    return EIO;
                }
                return platform::WriteFileAtomically(path, bytes, mode);
            });
    }
    sip::AccountValues Valid() {
        sip::AccountValues values = sip::ReadAccountValues(registry);
        values["identity"] = "sip:alice@example.org";
        return values;
    }
    sip::KeyringFor Keyring(bool reachable) {
        return [reachable](const sip::PasswordItem&) -> std::unique_ptr<sip::PasswordStore> {
            auto store = std::make_unique<velto::test::FakeStore>(sip::kKeyringPlace);
            store->reachable = reachable;
            return store;
        };
    }
    // Every problem a save of the Account page can end in.
    std::vector<Given> SaveReasons() {
        const std::string file = registry.files().currentUser.string();
        std::vector<Given> given;
        failFrom = writes + 1;
        sip::AccountSaved saved = sip::SaveAccount(registry, Keyring(true),
                                                   sip::ReadAccountValues(registry), Valid(), {});
        given.push_back({saved.problem, file});
        // The settings saved, then the password neither in the keyring nor in the user file.
        failFrom = writes + 2;
        saved = sip::SaveAccount(registry, Keyring(false), sip::ReadAccountValues(registry),
                                 Valid(), {"s3cret", {}});
        given.push_back({saved.problem, file});
        // In the keyring, but the older copy in the user file cannot go.
        failFrom = 0;
        EXPECT_EQ(registry.SetString(platform::RegRoot::CurrentUser, sip::kSipKey,
                                     sip::kAccountPassword.hiveValue, "old"),
                  platform::RegError::Ok);
        failFrom = writes + 1;
        saved = sip::SaveAccount(registry, Keyring(true), Valid(), Valid(), {"s3cret", {}});
        given.push_back({saved.problem, file});
        failFrom = 0;
        // A value refused by the save itself names the setting as the user file does.
        sip::AccountValues wrong = Valid();
        wrong["identity"] = "alice@example.org";
        std::string error;
        EXPECT_FALSE(sip::SaveAccountValues(registry, Valid(), wrong, error));
        given.push_back({error, "Identity: "});
        for (const Given& one : given) {
            EXPECT_FALSE(one.reason.empty());
        }
        return given;
    }

    velto::test::TempDir dir;
    int writes = 0;
    int failFrom = 0;
    platform::Registry registry = MakeRegistry();
};

TEST_F(AccountReasonsTest, EveryReasonIsKnownInEveryLanguageWithTheUsersTextKept) {
    std::vector<Given> given = CheckReasons();
    // The form's own check gives the same reasons.
    sip::AccountValues values = Valid();
    values["listen"] = "localhost:5060";
    const auto refused = sip::CheckAccountValues(values);
    ASSERT_EQ(refused.size(), 1u);
    given.push_back({refused.begin()->second, "localhost"});
    for (Given& save : SaveReasons()) {
        given.push_back(std::move(save));
    }
    std::set<i18n::TextKey> used;
    for (const Given& one : given) {
        SCOPED_TRACE(one.reason);
        const std::vector<i18n::TextKey> keys = ReasonKeysOf(one.reason);
        ASSERT_FALSE(keys.empty()) << "no text key for this reason";
        used.insert(keys.begin(), keys.end());
        const std::u16string english = platform::Utf8ToUtf16(one.reason);
        std::set<std::u16string> texts;
        for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
            const auto text = TranslateReason(one.reason, language);
            ASSERT_TRUE(text) << language;
            EXPECT_EQ(*text == english, language == i18n::kEnglish) << language;
            EXPECT_EQ(LocalReason(one.reason, language), *text) << language;
            EXPECT_NE(text->find(platform::Utf8ToUtf16(one.own)), std::u16string::npos)
                << language << ": " << platform::Utf16ToUtf8(*text);
            texts.insert(*text);
        }
        // Not a copy of one language in another either (Chinese ones differ in their script).
        EXPECT_GE(texts.size(), static_cast<size_t>(i18n::kLanguageCount - 1));
    }
    // And every key a reason could have was needed by one.
    const auto all = AccountReasonKeys();
    EXPECT_EQ(used, std::set<i18n::TextKey>(all.begin(), all.end()));
}

// A reason added to the settings' checks without its text would be shown in English: every
// text the checks set as an error or return has its words in a reason's English text.
TEST(AccountReasons, EveryReasonTheSettingsCodeWritesHasItsText) {
    std::vector<std::string> patterns;
    for (i18n::TextKey key : AccountReasonKeys()) {
        patterns.push_back(platform::Utf16ToUtf8(i18n::GetText(key, i18n::kEnglish)));
    }
    const std::regex statement(R"((?:error =|return)[^;]*;)");
    const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
    int pieces = 0;
    for (const char* file : {"SipSettingList.cpp", "SipAddress.cpp", "TurnServer.cpp"}) {
        std::ifstream in(std::string(VELTO_SOURCE_DIR) + "/src/sipaccount/" + file);
        ASSERT_TRUE(in) << file;
        std::stringstream code;
        code << in.rdbuf();
        const std::string text = code.str();
        for (std::sregex_iterator it(text.begin(), text.end(), statement), end; it != end; ++it) {
            const std::string found = it->str();
            for (std::sregex_iterator lit(found.begin(), found.end(), literal); lit != end; ++lit) {
                const std::string piece =
                    std::regex_replace((*lit)[1].str(), std::regex(R"(\\(.))"), "$1");
                if (piece.find(' ') == std::string::npos) {
                    continue;  // no words: a quote, a scheme, a setting's name, a set of marks
                }
                ++pieces;
                EXPECT_TRUE(std::any_of(patterns.begin(), patterns.end(),
                                        [&](const std::string& pattern) {
                                            return pattern.find(piece) != std::string::npos;
                                        }))
                    << file << ": \"" << piece << "\" is in no reason's text";
            }
        }
    }
    EXPECT_GT(pieces, 30);
}

TEST(AccountReasons, EachTranslationHasThePlaceForWhatVariesAsItsEnglishDoes) {
    for (i18n::TextKey key : AccountReasonKeys()) {
        const std::u16string english = i18n::GetText(key, i18n::kEnglish);
        const bool slot = english.find(u"{1}") != std::u16string::npos;
        EXPECT_EQ(english.find(u"{1}"), english.rfind(u"{1}")) << i18n::TextKeyName(key);
        for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
            const std::u16string text = i18n::GetText(key, language);
            EXPECT_EQ(text.find(u"{1}") != std::u16string::npos, slot)
                << i18n::TextKeyName(key) << " " << language;
            EXPECT_EQ(text.find(u"{1}"), text.rfind(u"{1}")) << i18n::TextKeyName(key);
            EXPECT_EQ(text.find(u"{2}"), std::u16string::npos) << i18n::TextKeyName(key);
        }
    }
}

TEST(AccountReasons, WhatIsNotKnownIsShownAsItIsAndWhatIsKnownAroundItStillTranslated) {
    const int32_t german = i18n::kGerman;
    EXPECT_EQ(LocalReason("the keyring is on fire", german), u"the keyring is on fire");
    EXPECT_FALSE(TranslateReason("the keyring is on fire", german));
    EXPECT_TRUE(ReasonKeysOf("the keyring is on fire").empty());
    // Near a known one is not one: the whole text must match.
    EXPECT_FALSE(TranslateReason("no host name given", german));
    EXPECT_FALSE(TranslateReason("xno host name", german));
    // A known reason around an unknown one: the outer one translated, the inner one kept.
    const std::string nested =
        "the old password in the user file could not be removed: the disk is on fire";
    EXPECT_FALSE(TranslateReason(nested, german));
    EXPECT_EQ(LocalReason(nested, german),
              u"das alte Passwort in der Benutzerdatei konnte nicht entfernt werden: the disk is "
              u"on fire");
    // The user's text may look like the reason's own words; it is kept whole all the same.
    EXPECT_EQ(LocalReason("the port \" is not a number from 1 to 65535\" is not a number from 1 "
                          "to 65535",
                          german),
              u"der Port „ is not a number from 1 to 65535“ ist keine Zahl von 1 bis 65535");
}

}  // namespace
}  // namespace velto::ui
