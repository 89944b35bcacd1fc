// The account as a form edits it: every field checked by velto-account's rules, saved in
// one write or not at all, the password with it or the settings put back.
#include "sipaccount/AccountForm.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/AtomicFile.h"
#include "sipaccount/SipSettings.h"
#include "support/FakePasswordStore.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

using platform::RegRoot;

// A store that forwards to one the test keeps.
class Borrowed final : public PasswordStore {
  public:
    explicit Borrowed(PasswordStore& inner) : inner_(inner) {}
    std::string Place() const override { return inner_.Place(); }
    PasswordOutcome Read() override { return inner_.Read(); }
    PasswordOutcome Write(const std::string& password) override { return inner_.Write(password); }
    PasswordOutcome Erase() override { return inner_.Erase(); }

  private:
    PasswordStore& inner_;
};

class AccountFormTest : public ::testing::Test {
  protected:
    // A hive whose writes are counted and can be made to fail from the `failFrom`-th on.
    platform::Registry MakeRegistry() {
        return platform::Registry(
            {.currentUser = dir / "user.reg",
             .localMachine = dir / "machine.reg",
             .autostartFolder = std::nullopt},
            [this](const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
                ++writes;
                if (failFrom != 0 && writes >= failFrom && writes < failUntil) {
                    return EIO;
                }
                return platform::WriteFileAtomically(path, bytes, mode);
            });
    }
    AccountValues Valid() {
        AccountValues values = ReadAccountValues(registry);
        values["identity"] = "sip:alice@example.org";
        values["proxy"] = "sip:sip.example.org;transport=tcp";
        values["stun"] = "stun.example.org:3478";
        values["ice"] = "on";
        values["expiry"] = "300";
        return values;
    }

    velto::test::TempDir dir;
    int writes = 0;
    int failFrom = 0;
    int failUntil = 1 << 30;
    platform::Registry registry = MakeRegistry();
    velto::test::FakeStore keyring{"keyring"};
    velto::test::FakeStore turnKeyring{"keyring"};
    // The stores as the form's save asks for them, each password its own.
    KeyringFor keyrings = [this](const PasswordItem& item) -> std::unique_ptr<PasswordStore> {
        auto& store =
            std::string_view(item.hiveValue) == kTurnPassword.hiveValue ? turnKeyring : keyring;
        return std::make_unique<Borrowed>(store);
    };
};

TEST_F(AccountFormTest, EveryWrongFieldIsNamedWithVeltoAccountsReason) {
    AccountValues values = Valid();
    values["identity"] = "alice@example.org";
    values["rtp-ports"] = "9000-8000";
    values["media-encryption"] = "rot13";
    values["max-calls"] = "0";
    values["expiry"] = "";  // an empty number is its default, as an empty text is
    const auto refused = CheckAccountValues(values);
    ASSERT_EQ(refused.size(), 4u);
    for (const auto& [name, reason] : refused) {
        // The very reason `velto-account set` gives.
        EXPECT_EQ(reason, CheckSipSetting(*FindSipSetting(name), values[name]).value_or("?"))
            << name;
    }
    std::string error;
    EXPECT_FALSE(SaveAccountValues(registry, ReadAccountValues(registry), values, error));
    EXPECT_EQ(error.rfind("Identity: ", 0), 0u) << error;
    EXPECT_EQ(writes, 0);
    EXPECT_TRUE(CheckAccountValues(Valid()).empty());
}

TEST_F(AccountFormTest, ChangesAreSavedInOneWriteAndReadBackAsTheBackendReadsThem) {
    const AccountValues before = ReadAccountValues(registry);
    EXPECT_EQ(before.at("early-media"), "on");  // an unset switch shows its default
    EXPECT_EQ(before.at("ice"), "off");
    std::string error;
    ASSERT_TRUE(SaveAccountValues(registry, before, Valid(), error)) << error;
    EXPECT_EQ(writes, 1);
    const SipSettingsResult read = ReadSipSettings(platform::Registry(registry.files()));
    ASSERT_TRUE(read.settings) << read.error;
    EXPECT_EQ(read.settings->identity.Handle(), "alice@example.org");
    EXPECT_EQ(read.settings->proxyAddress->Transport(), "tcp");
    EXPECT_TRUE(read.settings->ice);
    EXPECT_EQ(read.settings->expiry, 300u);
    // Nothing changed: nothing written; a value emptied: removed, its default back.
    ASSERT_TRUE(SaveAccountValues(registry, Valid(), Valid(), error));
    EXPECT_EQ(writes, 1);
    AccountValues fewer = Valid();
    fewer["expiry"] = "";
    fewer["stun"] = "";
    ASSERT_TRUE(SaveAccountValues(registry, Valid(), fewer, error));
    EXPECT_EQ(writes, 2);
    const auto stored = ReadSipValues(platform::Registry(registry.files()));
    EXPECT_EQ(stored.count("expiry"), 0u);
    EXPECT_EQ(stored.count("stun"), 0u);
}

TEST_F(AccountFormTest, AFailedWriteLeavesTheHiveAsItWas) {
    std::string error;
    ASSERT_TRUE(SaveAccountValues(registry, ReadAccountValues(registry), Valid(), error));
    AccountValues changed = Valid();
    changed["identity"] = "sip:bob@example.org";
    changed["realm"] = "other";
    failFrom = writes + 1;
    EXPECT_FALSE(SaveAccountValues(registry, Valid(), changed, error));
    EXPECT_NE(error.find("could not be saved"), std::string::npos) << error;
    // Neither in memory nor on disk: one of the two changes alone would be a half-save.
    EXPECT_EQ(ReadAccountValues(registry), Valid());
    EXPECT_EQ(ReadAccountValues(platform::Registry(registry.files())), Valid());
}

TEST_F(AccountFormTest, APasswordGoesToTheKeyringWithTheSettings) {
    const AccountSaved saved =
        SaveAccount(registry, keyrings, ReadAccountValues(registry), Valid(), {"s3cret", {}});
    ASSERT_TRUE(saved.ok) << saved.problem;
    EXPECT_EQ(saved.passwordPlace, "keyring");
    EXPECT_EQ(keyring.value, "s3cret");
    std::string inFile;
    EXPECT_NE(registry.QueryString(RegRoot::CurrentUser, kSipKey, kPasswordValue, inFile),
              platform::RegError::Ok);
    // No password typed: the saved one stays.
    AccountValues changed = Valid();
    changed["realm"] = "example.org";
    ASSERT_TRUE(SaveAccount(registry, keyrings, Valid(), changed, {}).ok);
    EXPECT_EQ(keyring.value, "s3cret");
}

TEST_F(AccountFormTest, APasswordThatGoesNowherePutsTheSettingsBack) {
    keyring.reachable = false;
    // The settings' write passes, the user file's password write fails, the put-back passes.
    failFrom = writes + 2;
    failUntil = writes + 3;
    const AccountSaved saved =
        SaveAccount(registry, keyrings, ReadAccountValues(registry), Valid(), {"s3cret", {}});
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.problem.empty());
    const SipSettingsResult read = ReadSipSettings(platform::Registry(registry.files()));
    EXPECT_FALSE(read.settings) << "the account was half-saved";
    EXPECT_EQ(writes, 3);
}

TEST_F(AccountFormTest, EachPasswordGoesToItsOwnItemAndATurnPasswordThatGoesNowhereUndoes) {
    AccountValues turn = Valid();
    turn["turn"] = "turn.example.org:3478";
    AccountSaved saved =
        SaveAccount(registry, keyrings, ReadAccountValues(registry), turn, {{}, "relaypw"});
    ASSERT_TRUE(saved.ok) << saved.problem;
    EXPECT_EQ(saved.turnPasswordPlace, "keyring");
    EXPECT_TRUE(saved.passwordPlace.empty());
    EXPECT_EQ(turnKeyring.value, "relaypw");
    EXPECT_FALSE(keyring.value);

    // Both typed, the TURN one can go nowhere: the settings go back, the account's stays and
    // the notes say so.
    turnKeyring.reachable = false;
    AccountValues changed = turn;
    changed["realm"] = "example.org";
    // The settings' write passes, the TURN password's user-file write fails, the put-back
    // passes.
    failFrom = writes + 2;
    failUntil = writes + 3;
    saved = SaveAccount(registry, keyrings, turn, changed, {"s3cret", "other"});
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(keyring.value, "s3cret");
    EXPECT_EQ(ReadAccountValues(platform::Registry(registry.files())), turn);
    ASSERT_FALSE(saved.notes.empty());
    EXPECT_NE(saved.notes.back().find("only the TURN password was not"), std::string::npos)
        << saved.notes.back();
}

TEST_F(AccountFormTest, TheProxyIsShownAsServerAndTransportAndKeptAsWritten) {
    EXPECT_EQ(SplitProxy("sip:sip.example.org:5070;transport=tcp").host, "sip.example.org:5070");
    EXPECT_EQ(SplitProxy("sip:sip.example.org:5070;transport=tcp").transport, "tcp");
    EXPECT_EQ(SplitProxy("sips:[::1]:5061").host, "[::1]:5061");
    EXPECT_EQ(SplitProxy("sips:[::1]:5061").transport, "tls");
    EXPECT_EQ(SplitProxy("sip:p.example.org;lr").host, "p.example.org;lr");
    EXPECT_EQ(JoinProxy({"sip.example.org:5070", "udp"}), "sip:sip.example.org:5070");
    EXPECT_EQ(JoinProxy({"sip.example.org", "tls"}), "sip:sip.example.org;transport=tls");
    EXPECT_EQ(JoinProxy({"sips:sip.example.org", "udp"}), "sip:sip.example.org;transport=tls");
    EXPECT_EQ(JoinProxy({"sip:p.example.org;lr", "tcp"}), "sip:p.example.org;lr;transport=tcp");
    EXPECT_EQ(JoinProxy({"", "tcp"}), "");
    // Shown and left alone, a setting keeps its own spelling (the stack would start again).
    EXPECT_EQ(JoinProxy(SplitProxy("sips:[::1]:5061"), "sips:[::1]:5061"), "sips:[::1]:5061");
    EXPECT_EQ(JoinProxy({"[::1]:5061", "tcp"}, "sips:[::1]:5061"), "sip:[::1]:5061;transport=tcp");
    // Whatever the parts make is checked by the proxy's own rules.
    EXPECT_FALSE(CheckSipSetting(*FindSipSetting("proxy"),
                                 JoinProxy({"sip.example.org:x", "udp"})) == std::nullopt);
}

// Every switch and small choice, each side saved as the form saves it and read as the
// backend reads it, then the first side again: a side that does not reach the backend, or
// a change back that sticks, shows here. A change the stack must start again for is one
// SameAccount tells; early media is read at each call.
TEST_F(AccountFormTest, EverySwitchAndChoiceReachesTheBackendOnEachSideAndBack) {
    struct Choice {
        const char* name;
        std::vector<const char*> sides;  // as typed; the first again at the end
        std::vector<const char*> read;   // what the backend has, by hand
        std::function<std::string(const SipSettings&)> field;
        bool restarts;
    };
    const auto onOff = [](bool on) { return std::string(on ? "on" : "off"); };
    const std::vector<Choice> choices{
        {"ice",
         {"on", "off"},
         {"on", "off"},
         [&](const SipSettings& s) { return onOff(s.ice); },
         true},
        {"media-encryption-mandatory",
         {"on", "off"},
         {"on", "off"},
         [&](const SipSettings& s) { return onOff(s.mediaEncryptionMandatory); },
         true},
        {"gruu",
         {"on", "off"},
         {"on", "off"},
         [&](const SipSettings& s) { return onOff(s.gruu); },
         true},
        {"early-media",
         {"off", "on"},
         {"off", "on"},
         [&](const SipSettings& s) { return onOff(s.earlyMedia); },
         false},
        {"media-encryption",
         {"srtp", "dtls", "zrtp", "none", ""},
         {"srtp", "dtls", "zrtp", "none", "none"},
         [](const SipSettings& s) { return s.mediaEncryption; },
         true},
        {"expiry",
         {"60", "86400", ""},
         {"60", "86400", "600"},
         [](const SipSettings& s) { return std::to_string(s.expiry); },
         true},
        {"rtp-ports",
         {"20000-20010", ""},
         {"20000-20010", "default"},
         [](const SipSettings& s) {
             return s.rtpPorts
                        ? std::to_string(s.rtpPorts->low) + "-" + std::to_string(s.rtpPorts->high)
                        : std::string("default");
         },
         true},
        {"proxy",
         {"sip:sip.example.org;transport=tls", "sips:sip.example.org", "sip:sip.example.org",
          "sip:sip.example.org;transport=tcp"},
         {"tls", "tls", "udp", "tcp"},
         [](const SipSettings& s) { return s.proxyAddress->Transport(); },
         true},
    };
    std::string error;
    AccountValues before = ReadAccountValues(registry);
    ASSERT_TRUE(SaveAccountValues(registry, before, Valid(), error)) << error;
    before = Valid();
    for (const Choice& choice : choices) {
        std::vector<size_t> order;
        for (size_t n = 0; n < choice.sides.size(); ++n) {
            order.push_back(n);
        }
        order.push_back(0);
        std::optional<SipSettings> previous;
        for (size_t n : order) {
            SCOPED_TRACE(std::string(choice.name) + " " + choice.sides[n]);
            AccountValues after = before;
            after[choice.name] = choice.sides[n];
            ASSERT_TRUE(SaveAccountValues(registry, before, after, error)) << error;
            const SipSettingsResult read = ReadSipSettings(platform::Registry(registry.files()));
            ASSERT_TRUE(read.settings) << read.error;
            EXPECT_EQ(choice.field(*read.settings), choice.read[n]);
            if (previous && choice.field(*previous) != choice.read[n]) {
                EXPECT_EQ(read.settings->SameAccount(*previous), !choice.restarts);
            }
            previous = read.settings;
            before = ReadAccountValues(registry);
        }
    }
}

// Every bounded setting at its edges: the bound itself is taken, one past it refused with
// the setting's own reason.
TEST(SipSettingLimits, EachBoundHoldsFromBothSides) {
    const std::string calls = "expected a number of calls from 1 to 1000";
    const std::string seconds = "expected a number of seconds from 60 to 86400";
    const std::string ports = "expected LOW-HIGH, two ports from 1024 to 65535, LOW not above HIGH";
    const std::string name128(128, 'u');
    const std::string path4096 = "/" + std::string(4095, 'p');
    const struct {
        const char* setting;
        std::string text;
        std::string reason;  // empty: taken
    } cases[] = {
        {"max-calls", "1", ""},
        {"max-calls", "0", calls},
        {"max-calls", "1000", ""},
        {"max-calls", "1001", calls},
        {"expiry", "60", ""},
        {"expiry", "59", seconds},
        {"expiry", "86400", ""},
        {"expiry", "86401", seconds},
        {"rtp-ports", "1024-65535", ""},
        {"rtp-ports", "1023-2000", ports},
        {"rtp-ports", "2000-65536", ports},
        {"rtp-ports", "5000-5000", ""},
        {"rtp-ports", "5001-5000", ports},
        {"auth-user", name128, ""},
        {"auth-user", name128 + "u", "longer than 128 characters"},
        {"realm", name128, ""},
        {"realm", name128 + "r", "longer than 128 characters"},
        {"ca-file", path4096, ""},
        {"ca-file", path4096 + "p", "expected an absolute path"},
    };
    for (const auto& c : cases) {
        const auto setting = FindSipSetting(c.setting);
        ASSERT_TRUE(setting) << c.setting;
        EXPECT_EQ(CheckSipSetting(*setting, c.text).value_or(""), c.reason)
            << c.setting << " " << c.text.size() << " bytes: " << c.text.substr(0, 20);
    }
}

}  // namespace
}  // namespace velto::skype::sip
