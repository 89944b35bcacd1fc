#include "sipaccount/SipSettings.h"

#include <gtest/gtest.h>

#include "platform/Trace.h"
#include "sipaccount/BackendChoice.h"
#include "sipaccount/HivePasswordStore.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

using platform::RegRoot;

TEST(SipAddressTest, TakesTheFormsUsersWrite) {
    std::string error;
    auto plain = ParseSipAddress("  sip:alice@example.org ", error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(plain->Handle(), "alice@example.org");
    EXPECT_EQ(plain->Uri(), "sip:alice@example.org");

    auto named = ParseSipAddress("\"Alice Example\" <SIP:alice@127.0.0.1:5070>", error);
    ASSERT_TRUE(named) << error;
    EXPECT_EQ(named->displayName, "Alice Example");
    EXPECT_EQ(named->port, 5070);
    EXPECT_EQ(named->Handle(), "alice@127.0.0.1");

    auto bare = ParseSipAddress("Bob <sip:bob@host>", error);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->displayName, "Bob");
    EXPECT_EQ(ParseSipAddress("sip:proxy.example.org", error)->Handle(), "proxy.example.org");
}

TEST(SipAddressTest, TakesProviderUrisWithTheirTransportAndIpv6) {
    std::string error;
    const auto tcp = ParseSipAddress("sip:proxy.example.org:5070;TRANSPORT=TCP;lr", error);
    ASSERT_TRUE(tcp) << error;
    EXPECT_EQ(tcp->Transport(), "tcp");
    EXPECT_TRUE(tcp->looseRoute);
    EXPECT_EQ(tcp->Uri(), "sip:proxy.example.org:5070;transport=tcp;lr");
    const auto tls = ParseSipAddress("sips:example.org", error);
    ASSERT_TRUE(tls) << error;
    EXPECT_EQ(tls->Transport(), "tls");
    EXPECT_EQ(tls->Uri(), "sips:example.org");
    EXPECT_EQ(ParseSipAddress("sip:example.org", error)->Transport(), "udp");
    const auto v6 = ParseSipAddress("<sip:alice@[2001:db8::1]:5060>", error);
    ASSERT_TRUE(v6) << error;
    EXPECT_EQ(v6->host, "[2001:db8::1]");
    EXPECT_EQ(v6->port, 5060);
    EXPECT_EQ(v6->Uri(), "sip:alice@[2001:db8::1]:5060");
    // A ';' in the user part is the user's (telephone-subscriber parameters).
    EXPECT_EQ(ParseSipAddress("sip:+123;npdi@example.org", error)->user, "+123;npdi");
}

TEST(SipAddressTest, RefusesWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "no address given"},
        {"alice@example.org", "it does not start with \"sip:\" or \"sips:\""},
        {"sips:alice@x;transport=udp", "a sips: address goes over TLS, not over udp"},
        {"sip:x;transport=", "the transport \"\" is not one of udp, tcp, tls"},
        {"sip:x;lr=1", "the parameter \"lr=1\" is not known (known: transport, lr)"},
        {"sip:[::1", "'[' without a closing ']'"},
        {"sip:[1.2.3.4]", "\"[1.2.3.4]\" is not an IPv6 address"},
        {"sip:[::1]x", "unexpected text \"x\" after the IPv6 address"},
        {"sip:alice@", "no host name"},
        {"sip:alice@exa mple.org", "the host name holds the character ' '"},
        {"sip:al<ice@x", "'<' without a closing '>' at the end"},
        {"sip:alice@x:0", "the port \"0\" is not a number from 1 to 65535"},
        {"sip:alice@x:5060a;transport=tcp", "the port \"5060a\" is not a number from 1 to 65535"},
        {"sip:a\"b@x", "the user part holds the character '\"'"},
        // A letter is named whole, a control by its code, a stray byte by its value.
        {"sip:alice@m\xc3\xbcnchen.de", "the host name holds the character '\xc3\xbc'"},
        {"sip:\xe6\x9d\x8e@x", "the user part holds the character '\xe6\x9d\x8e'"},
        {"sip:alice@a\tb", "the host name holds the character 'U+0009'"},
        {"sip:alice@a\xff"
         "b",
         "the host name holds the character 'byte 0xFF'"},
        {"sip:alice@a\xc3", "the host name holds the character 'byte 0xC3'"},
    };
    for (const auto& [text, reason] : cases) {
        std::string error;
        EXPECT_FALSE(ParseSipAddress(text, error)) << text;
        EXPECT_EQ(error, reason) << text;
    }
    std::string error;
    EXPECT_FALSE(ParseSipAddress("sip:" + std::string(600, 'a') + "@x", error));
    EXPECT_EQ(error, "the address is longer than 512 characters");
    // At the edges: 512 characters ("sip:", 506 letters, "@x"), blanks around them not
    // counted, are an address; 513 are not. Ports 1 and 65535 are; 65536 is not.
    const std::string user(506, 'a');
    const auto longest = ParseSipAddress("  sip:" + user + "@x\t", error);
    ASSERT_TRUE(longest) << error;
    EXPECT_EQ(longest->Handle(), user + "@x");
    EXPECT_FALSE(ParseSipAddress("sip:" + user + "a@x", error));
    EXPECT_EQ(error, "the address is longer than 512 characters");
    EXPECT_EQ(ParseSipAddress("sip:a@x:65535", error)->Uri(), "sip:a@x:65535");
    EXPECT_EQ(ParseSipAddress("sip:a@x:1", error)->Uri(), "sip:a@x:1");
    EXPECT_FALSE(ParseSipAddress("sip:a@x:65536", error));
    EXPECT_EQ(error, "the port \"65536\" is not a number from 1 to 65535");
}

TEST(SipAddressTest, ListenAddress) {
    std::string error;
    EXPECT_EQ(ParseListenAddress("", error)->port, 5060);
    EXPECT_EQ(ParseListenAddress("", error)->address, "0.0.0.0");
    EXPECT_EQ(ParseListenAddress(":5070", error)->address, "0.0.0.0");
    const auto loopback = ParseListenAddress("127.0.0.1:25060", error);
    ASSERT_TRUE(loopback);
    EXPECT_EQ(loopback->address, "127.0.0.1");
    EXPECT_EQ(loopback->port, 25060);
    EXPECT_FALSE(ParseListenAddress("127.0.0.1", error));
    EXPECT_EQ(error, "expected ADDRESS:PORT");
    EXPECT_FALSE(ParseListenAddress("localhost:5060", error));
    EXPECT_EQ(error, "\"localhost\" is not an IPv4 address (IPv6: [ADDRESS]:PORT)");
    const auto v6 = ParseListenAddress("[::1]:5062", error);
    ASSERT_TRUE(v6) << error;
    EXPECT_EQ(v6->address, "::1");
    EXPECT_EQ(v6->UriHost(), "[::1]");
    EXPECT_FALSE(ParseListenAddress("::1:5062", error));
    EXPECT_FALSE(ParseListenAddress("[::g]:5062", error));
    EXPECT_EQ(error, "\"::g\" is not an IPv6 address");
    EXPECT_FALSE(ParseListenAddress("127.0.0.1:70000", error));
}

class SipSettingsTest : public ::testing::Test {
  protected:
    void Set(const char* name, const std::string& value) {
        registry.CreateKey(RegRoot::CurrentUser, kSipKey);
        registry.SetString(RegRoot::CurrentUser, kSipKey, name, value);
    }
    test::TempDir dir;
    platform::Registry registry{{dir / "user.reg", dir / "machine.reg", std::nullopt}};
};

TEST_F(SipSettingsTest, ReadsTheAccountWithDefaults) {
    EXPECT_FALSE(SipIdentityConfigured(registry));
    EXPECT_EQ(ReadSipSettings(registry).error, "Identity: no SIP identity is set");

    Set(kIdentityValue, "\"Velto\" <sip:velto@127.0.0.1>");
    Set(kPasswordValue, "secret");
    const auto read = ReadSipSettings(registry);
    ASSERT_TRUE(read.settings) << read.error;
    EXPECT_EQ(read.settings->identity.Handle(), "velto@127.0.0.1");
    EXPECT_EQ(read.settings->identity.displayName, "Velto");
    EXPECT_EQ(read.settings->listen.address, "0.0.0.0");
    EXPECT_EQ(read.settings->listen.port, 5060);
    EXPECT_TRUE(read.settings->proxy.empty());
    EXPECT_TRUE(read.settings->earlyMedia);
    EXPECT_EQ(read.settings->password, "secret");

    registry.SetDword(RegRoot::CurrentUser, kSipKey, kEarlyMediaValue, 0);
    EXPECT_FALSE(ReadSipSettings(registry).settings->earlyMedia);
}

TEST_F(SipSettingsTest, ABadValueIsNamedInTheError) {
    Set(kIdentityValue, "alice");
    EXPECT_TRUE(SipIdentityConfigured(registry));
    EXPECT_EQ(ReadSipSettings(registry).error,
              "Identity \"alice\": it does not start with \"sip:\" or \"sips:\"");
    Set(kIdentityValue, "sip:example.org");
    EXPECT_EQ(ReadSipSettings(registry).error, "Identity \"sip:example.org\": no user before '@'");
    Set(kIdentityValue, "sip:alice@example.org");
    Set(kListenValue, "127.0.0.1:0");
    EXPECT_EQ(ReadSipSettings(registry).error,
              "Listen \"127.0.0.1:0\": the port \"0\" is not a number from 1 to 65535");
    Set(kListenValue, "127.0.0.1:5070");
    Set(kProxyValue, "proxy.example.org");
    EXPECT_EQ(ReadSipSettings(registry).error,
              "Proxy \"proxy.example.org\": it does not start with \"sip:\" or \"sips:\"");
    Set(kProxyValue, "sips:proxy.example.org");
    Set("AuthUser", "a 1");
    EXPECT_EQ(ReadSipSettings(registry).error,
              "AuthUser \"a 1\": it holds a space, a quote, a backslash or a control character");
}

TEST_F(SipSettingsTest, ReadsTheProviderSettings) {
    Set(kIdentityValue, "sip:alice@example.org");
    Set(kProxyValue, "sips:example.org:5061");
    Set("AuthUser", "a1234");
    Set("RtpPorts", "10000-10100");
    Set("MediaEncryption", "srtp");
    registry.SetDword(RegRoot::CurrentUser, kSipKey, "Expiry", 120);
    registry.SetDword(RegRoot::CurrentUser, kSipKey, "Gruu", 1);
    const auto read = ReadSipSettings(registry);
    ASSERT_TRUE(read.settings) << read.error;
    const SipSettings& s = *read.settings;
    ASSERT_TRUE(s.proxyAddress);
    EXPECT_EQ(s.proxyAddress->Transport(), "tls");
    EXPECT_EQ(s.authUser, "a1234");
    EXPECT_EQ(s.expiry, 120u);
    ASSERT_TRUE(s.rtpPorts);
    EXPECT_EQ(s.rtpPorts->high, 10100);
    EXPECT_EQ(s.mediaEncryption, "srtp");
    EXPECT_TRUE(s.gruu);
    EXPECT_FALSE(s.ice);
    EXPECT_TRUE(s.SameAccount(s));
    SipSettings other = s;
    other.password = "changed";
    EXPECT_TRUE(s.SameAccount(other));
    other.realm = "elsewhere";
    EXPECT_FALSE(s.SameAccount(other));

    registry.SetDword(RegRoot::CurrentUser, kSipKey, "Expiry", 10);
    EXPECT_EQ(ReadSipSettings(registry).error,
              "Expiry \"10\": expected a number of seconds from 60 to 86400");
}

TEST_F(SipSettingsTest, ATurnServerTurnsIceOnAndHasAPasswordOfItsOwn) {
    Set(kIdentityValue, "sip:alice@example.org");
    Set(kPasswordValue, "sip-secret");
    auto read = ReadSipSettings(registry);
    ASSERT_TRUE(read.settings) << read.error;
    EXPECT_FALSE(read.settings->ice);
    EXPECT_TRUE(read.settings->turn.empty());

    Set("Turn", "turn.example.org:3478");
    Set(kTurnPasswordValue, "turn-secret");
    read = ReadSipSettings(registry);
    ASSERT_TRUE(read.settings) << read.error;
    const SipSettings s = *read.settings;
    EXPECT_EQ(s.turn, "turn.example.org:3478");
    EXPECT_TRUE(s.ice);                // relay addresses are offered by ICE: no relay without it
    EXPECT_EQ(s.TurnUser(), "alice");  // none set: the identity's user
    EXPECT_EQ(s.password, "sip-secret");
    EXPECT_EQ(s.turnPassword, "turn-secret");
    EXPECT_EQ(s.turnPasswordPlace, kUserFilePlace);
    EXPECT_EQ(ShowSipSetting(registry, *FindSipSetting("ice")), "on (the TURN server needs it)");
    // Even switched off by hand: the server is what the user asked for last.
    registry.SetDword(RegRoot::CurrentUser, kSipKey, "Ice", 0);
    EXPECT_TRUE(ReadSipSettings(registry).settings->ice);

    Set("TurnUser", "relay-7");
    read = ReadSipSettings(registry);
    EXPECT_EQ(read.settings->TurnUser(), "relay-7");
    EXPECT_FALSE(read.settings->SameAccount(s));  // a new TURN user means a new stack
    SipSettings other = s;
    other.turnPassword = "new";
    EXPECT_TRUE(s.SameAccount(other));  // a password is tried without a new stack

    const std::pair<const char*, const char*> refused[] = {
        {"Turn",
         "Turn \"turn.example.org;transport=sctp\": the transport \"sctp\" is not one of "
         "udp, tcp, tls"},
        {"Turn", "Turn \"alice@turn.example.org\": expected HOST[:PORT][;transport=udp|tcp|tls]"},
        {"Turn",
         "Turn \"turns:example.org?transport=udp\": a turns: server goes over TLS, not "
         "over udp"},
        {"Turn",
         "Turn \"turn.example.org;transport=tls\": TURN over TLS is not offered: the SIP stack "
         "can crash when it refuses the server's certificate; use ;transport=tcp"},
        {"TurnUser",
         "TurnUser \"a b\": it holds a space, a quote, a backslash or a control "
         "character"},
    };
    const char* bad[] = {"turn.example.org;transport=sctp", "alice@turn.example.org",
                         "turns:example.org?transport=udp", "turn.example.org;transport=tls",
                         "a b"};
    for (size_t i = 0; i < std::size(refused); ++i) {
        Set("Turn", "turn.example.org");
        Set("TurnUser", "relay-7");
        Set(refused[i].first, bad[i]);
        EXPECT_EQ(ReadSipSettings(registry).error, refused[i].second) << bad[i];
    }
    Set("Turn", "turn.example.org");
    Set("TurnUser", std::string(128, 'u'));
    EXPECT_TRUE(ReadSipSettings(registry).settings);
    Set("TurnUser", std::string(129, 'u'));
    EXPECT_EQ(ReadSipSettings(registry).error,
              "TurnUser \"" + std::string(129, 'u') + "\": longer than 128 characters");
}

TEST_F(SipSettingsTest, TheTurnPasswordIsAskedForOnlyWithATurnServer) {
    struct Counting final : PasswordStore {
        explicit Counting(std::string kept) : kept(std::move(kept)) {}
        std::string Place() const override { return kKeyringPlace; }
        PasswordOutcome Read() override {
            ++reads;
            return kept.empty() ? PasswordOutcome::Absent() : PasswordOutcome::Done(kept);
        }
        PasswordOutcome Write(const std::string&) override { return PasswordOutcome::Done(); }
        PasswordOutcome Erase() override { return PasswordOutcome::Done(); }
        std::string kept;
        int reads = 0;
    };
    Counting keyring("from-keyring");
    HivePasswordStore userFile(registry, kTurnPassword);
    AccountPassword turnPassword(keyring, userFile);
    Set(kIdentityValue, "sip:alice@example.org");
    Set(kPasswordValue, "sip-secret");
    auto read = ReadSipSettings(registry);
    ReadTurnPassword(read, turnPassword);
    EXPECT_EQ(keyring.reads, 0);  // no server: no keyring prompt for nothing
    EXPECT_TRUE(read.settings->turnPassword.empty());

    Set("Turn", "192.0.2.9");
    read = ReadSipSettings(registry);
    ReadTurnPassword(read, turnPassword);
    EXPECT_EQ(keyring.reads, 1);
    EXPECT_EQ(read.settings->turnPassword, "from-keyring");
    EXPECT_EQ(read.settings->turnPasswordPlace, kKeyringPlace);
    EXPECT_EQ(read.settings->password, "sip-secret");  // the account's stays its own

    // Kept apart from the account's password in the user file too.
    ASSERT_EQ(userFile.Write("in-file").kind, PasswordOutcome::Kind::Done);
    EXPECT_EQ(HivePasswordStore(registry).Read().password, "sip-secret");
    EXPECT_EQ(turnPassword.Read().password, "in-file");
    ASSERT_EQ(userFile.Erase().kind, PasswordOutcome::Kind::Done);
    EXPECT_EQ(HivePasswordStore(registry).Read().password, "sip-secret");
}

TEST_F(SipSettingsTest, TheBackendOptionOverridesTheConfiguredChoice) {
    platform::TraceCapture trace;
    EXPECT_EQ(ChooseBackend("sip", registry), CallBackend::Sip);
    EXPECT_EQ(ChooseBackend(std::nullopt, registry), CallBackend::None);

    Set(kIdentityValue, "sip:alice@example.org");
    EXPECT_EQ(ChooseBackend(std::nullopt, registry), CallBackend::Sip);
    EXPECT_EQ(ChooseBackend("none", registry), CallBackend::None);
    EXPECT_EQ(ChooseBackend("skype", registry), CallBackend::Sip);  // the configured one
    EXPECT_TRUE(trace.Contains("velto: --backend skype: expected sip or none\n"));
}

}  // namespace
}  // namespace velto::skype::sip
