// velto-account run as the user runs it, in a sandboxed home folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "platform/Registry.h"
#include "sipaccount/ContactFile.h"
#include "sipaccount/SipSettings.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

using Outcome = test::ShellOutcome;
using test::ShellQuote;

class VeltoAccountTest : public ::testing::Test {
  protected:
    // The program under a 10-second limit, with `input` on its standard input.
    Outcome Run(const std::vector<std::string>& args, const std::string& input = "") {
        std::string command = "printf %s " + ShellQuote(input) +
                              " | env -i HOME=" + ShellQuote(dir.path().string()) +
                              " timeout 10 " VELTO_ACCOUNT_PROGRAM;
        for (const auto& arg : args) {
            command += " " + ShellQuote(arg);
        }
        return test::RunShell(command + " 2>&1");
    }
    std::string Value(const char* name) {
        platform::Registry registry({dir / ".config/Velto/user.reg", dir / "none.reg", {}});
        std::string value;
        registry.QueryString(platform::RegRoot::CurrentUser, kSipKey, name, value);
        return value;
    }

    test::TempDir dir;
};

TEST_F(VeltoAccountTest, SetsUpTheAccountAndRefusesBadValuesKeepingTheOldOnes) {
    EXPECT_EQ(Run({"--help"}).code, 0);
    EXPECT_NE(Run({"--help"}).output.find("add-contact SIP-ADDRESS"), std::string::npos);
    EXPECT_EQ(Run({}).code, 2);
    EXPECT_EQ(Run({"frobnicate"}).code, 2);

    EXPECT_EQ(Run({"set", "identity", "\"Alice\" <sip:alice@example.org>"}).code, 0);
    EXPECT_EQ(Run({"set", "listen", "127.0.0.1:5070"}).code, 0);
    EXPECT_EQ(Run({"set", "proxy", "sip:example.org"}).code, 0);
    // No session bus in the sandbox, so no keyring: the password goes to the user hive,
    // and the user is told why.
    const Outcome password = Run({"password"}, "s3cret pass\n");
    EXPECT_EQ(password.code, 0);
    EXPECT_NE(password.output.find("velto-account: the keyring could not be reached: "),
              std::string::npos)
        << password.output;
    EXPECT_NE(password.output.find("The password is in the user file.\n"), std::string::npos);
    EXPECT_EQ(Value(kPasswordValue), "s3cret pass");

    const Outcome bad = Run({"set", "identity", "alice@example.org"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.output,
              "velto-account: Identity \"alice@example.org\": it does not start with \"sip:\" "
              "or \"sips:\"\n");
    EXPECT_EQ(Run({"set", "listen", "localhost:5060"}).code, 1);
    EXPECT_EQ(Value(kIdentityValue), "\"Alice\" <sip:alice@example.org>");
    EXPECT_EQ(Value(kListenValue), "127.0.0.1:5070");

    const Outcome shown = Run({"show"});
    EXPECT_EQ(shown.code, 0) << shown.output;
    EXPECT_NE(shown.output.find("Password:                 set (user file)\n"), std::string::npos)
        << shown.output;
    EXPECT_EQ(shown.output.find("s3cret"), std::string::npos);  // never shown
    struct stat info {};
    ASSERT_EQ(stat((dir / ".config/Velto/user.reg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);  // nobody else reads the password

    EXPECT_EQ(Run({"password"}, "\n").code, 0);
    EXPECT_EQ(Value(kPasswordValue), "");
}

TEST_F(VeltoAccountTest, ProviderSettingsAreCheckedExplainedAndShown) {
    const std::string help = Run({"--help"}).output;
    for (const SipSettingInfo& setting : SipSettingList()) {
        EXPECT_NE(help.find(std::string("  set ") + setting.name + " "), std::string::npos)
            << setting.name;
    }
    ASSERT_EQ(Run({"set", "identity", "sip:alice@example.org"}).code, 0);
    EXPECT_EQ(Run({"set", "proxy", "sip:[::1]:5061;transport=tcp"}).code, 0);
    EXPECT_EQ(Run({"set", "outbound-proxy", "sip:edge.example.org;transport=tcp;lr"}).code, 0);
    EXPECT_EQ(Run({"set", "outbound-proxy", "sip:edge.example.org;transport=sctp"}).code, 1);
    EXPECT_EQ(Run({"set", "auth-user", "a1234"}).code, 0);
    EXPECT_EQ(Run({"set", "expiry", "300"}).code, 0);
    EXPECT_EQ(Run({"set", "media-encryption-mandatory", "on"}).code, 0);
    EXPECT_EQ(Run({"set", "rtp-ports", "10000-20000"}).code, 0);

    // One line naming the bad part; the old value stays.
    const Outcome transport = Run({"set", "proxy", "sip:example.org;transport=sctp"});
    EXPECT_EQ(transport.code, 1);
    EXPECT_EQ(transport.output,
              "velto-account: Proxy \"sip:example.org;transport=sctp\": the transport \"sctp\" "
              "is not one of udp, tcp, tls\n");
    const Outcome parameter = Run({"set", "proxy", "sips:example.org;maddr=1.2.3.4"});
    EXPECT_EQ(parameter.output,
              "velto-account: Proxy \"sips:example.org;maddr=1.2.3.4\": the parameter "
              "\"maddr=1.2.3.4\" is not known (known: transport, lr)\n");
    EXPECT_EQ(Run({"set", "expiry", "5"}).code, 1);
    EXPECT_EQ(Run({"set", "rtp-ports", "20000-10000"}).code, 1);
    EXPECT_EQ(Run({"set", "media-encryption", "rot13"}).code, 1);
    EXPECT_EQ(Value(kProxyValue), "sip:[::1]:5061;transport=tcp");
    EXPECT_EQ(Value("OutboundProxy"), "sip:edge.example.org;transport=tcp;lr");

    const std::string shown = Run({"show"}).output;
    for (const SipSettingInfo& setting : SipSettingList()) {
        EXPECT_NE(shown.find(std::string(setting.value) + ":"), std::string::npos) << shown;
    }
    EXPECT_NE(shown.find("AuthUser:                 a1234\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Expiry:                   300\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("MediaEncryptionMandatory: on\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Realm:                    (any)\n"), std::string::npos) << shown;

    // '' removes a text setting.
    EXPECT_EQ(Run({"set", "auth-user", ""}).code, 0);
    EXPECT_EQ(Value("AuthUser"), "");
    EXPECT_EQ(Run({"set", "identity", ""}).code, 1);
}

TEST_F(VeltoAccountTest, TheTurnServerIsSetShownAndHasItsOwnPassword) {
    ASSERT_EQ(Run({"set", "identity", "sip:alice@example.org"}).code, 0);
    EXPECT_NE(Run({"--help"}).output.find("  turn-password "), std::string::npos);
    const Outcome bad = Run({"set", "turn", "turn.example.org:99999"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.output.rfind("velto-account: Turn \"turn.example.org:99999\": ", 0), 0u)
        << bad.output;
    EXPECT_NE(Run({"--help"}).output.find("HOST[:PORT][;transport=udp|tcp|tls]"),
              std::string::npos);
    // Where UDP is blocked: over TCP, as a TURN URI too. Not over TLS (the stack's client
    // can crash).
    EXPECT_EQ(Run({"set", "turn", "turn:turn.example.org:443?transport=tcp"}).code, 0);
    EXPECT_NE(Run({"show"}).output.find(
                  "Turn:                     turn:turn.example.org:443?transport=tcp\n"),
              std::string::npos);
    EXPECT_EQ(Run({"set", "turn", "turns:turn.example.org"}).output,
              "velto-account: Turn \"turns:turn.example.org\": TURN over TLS is not offered: the "
              "SIP stack can crash when it refuses the server's certificate; use ;transport=tcp\n");
    const Outcome transport = Run({"set", "turn", "turn.example.org;transport=sctp"});
    EXPECT_EQ(transport.code, 1);
    EXPECT_EQ(transport.output,
              "velto-account: Turn \"turn.example.org;transport=sctp\": the transport \"sctp\" "
              "is not one of udp, tcp, tls\n");
    EXPECT_EQ(Value("Turn"), "turn:turn.example.org:443?transport=tcp");  // nothing saved
    EXPECT_EQ(Run({"set", "turn", "turn.example.org:3478"}).code, 0);
    EXPECT_EQ(Run({"set", "turn-user", "relay-7"}).code, 0);
    EXPECT_EQ(Run({"password"}, "sip-secret\n").code, 0);
    const Outcome turnPassword = Run({"turn-password"}, "turn-secret\n");
    EXPECT_EQ(turnPassword.code, 0);
    EXPECT_NE(turnPassword.output.find("The TURN password is in the user file.\n"),
              std::string::npos)
        << turnPassword.output;
    EXPECT_EQ(Value(kPasswordValue), "sip-secret");
    EXPECT_EQ(Value(kTurnPasswordValue), "turn-secret");

    const std::string shown = Run({"show"}).output;
    EXPECT_NE(shown.find("Turn:                     turn.example.org:3478\n"), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("TurnUser:                 relay-7\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Ice:                      on (the TURN server needs it)\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("TurnPassword:             set (user file)\n"), std::string::npos)
        << shown;
    EXPECT_EQ(shown.find("secret"), std::string::npos);  // never shown

    EXPECT_EQ(Run({"turn-password"}, "\n").code, 0);
    EXPECT_EQ(Value(kTurnPasswordValue), "");
    EXPECT_EQ(Value(kPasswordValue), "sip-secret");
    EXPECT_EQ(Run({"set", "turn", ""}).code, 0);
    EXPECT_NE(Run({"show"}).output.find("Ice:                      off (default)\n"),
              std::string::npos);
}

TEST_F(VeltoAccountTest, AddsAndRemovesContactsAndLeavesAnUnreadableFileAlone) {
    EXPECT_EQ(Run({"add-contact", "sip:bob@example.org", "Bob Example", "Bob"}).code, 0);
    EXPECT_EQ(Run({"add-contact", "carol@example.org"}).code, 0);
    // Adding the same address again replaces the card.
    EXPECT_EQ(Run({"add-contact", "sip:bob@example.org:5070", "Robert"}).code, 0);
    auto file = ReadContactFile(ContactFilePath(dir / ".config"));
    ASSERT_EQ(file.contacts.size(), 2u);
    EXPECT_EQ(file.contacts[0].address.Handle(), "carol@example.org");
    EXPECT_EQ(file.contacts[1].fullName, "Robert");
    EXPECT_EQ(file.contacts[1].address.port, 5070);

    EXPECT_EQ(Run({"remove-contact", "carol@example.org"}).code, 0);
    EXPECT_EQ(Run({"remove-contact", "carol@example.org"}).output,
              "velto-account: no contact carol@example.org\n");
    EXPECT_EQ(Run({"add-contact", "sip:@example.org"}).code, 1);

    // The forms users write: a quoted display name (the name unless one is given), an empty
    // one, and removal by the same forms.
    EXPECT_EQ(Run({"add-contact", "\"Erin E\" <sip:erin@example.org>", ""}).code, 0);
    EXPECT_EQ(Run({"add-contact", "\"\" <sip:fay@example.org>"}).code, 0);
    EXPECT_EQ(Run({"add-contact", "Gil <sip:gil@example.org>", "Gilbert"}).code, 0);
    file = ReadContactFile(ContactFilePath(dir / ".config"));
    ASSERT_EQ(file.contacts.size(), 4u);
    EXPECT_EQ(file.contacts[1].fullName, "Erin E");
    EXPECT_EQ(file.contacts[2].address.Handle(), "fay@example.org");
    EXPECT_EQ(file.contacts[2].fullName, "fay@example.org");  // a card needs its FN
    EXPECT_EQ(file.contacts[3].fullName, "Gilbert");
    EXPECT_EQ(Run({"remove-contact", "\"\" <sip:fay@example.org>"}).code, 0);
    EXPECT_EQ(Run({"remove-contact", "\"Erin\" <sip:erin@example.org>"}).code, 0);
    EXPECT_EQ(ReadContactFile(ContactFilePath(dir / ".config")).contacts.size(), 2u);

    const std::string damaged = "BEGIN:VCARD\nFN:Dave\nIMPP:sip:dave@x\n";
    std::ofstream(ContactFilePath(dir / ".config"), std::ios::trunc) << damaged;
    const Outcome refused = Run({"add-contact", "sip:erin@example.org"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.output.find("line 1: BEGIN:VCARD without END:VCARD"), std::string::npos)
        << refused.output;
    EXPECT_EQ(test::ReadFileBytes(ContactFilePath(dir / ".config")), damaged);
}

}  // namespace
}  // namespace velto::skype::sip
