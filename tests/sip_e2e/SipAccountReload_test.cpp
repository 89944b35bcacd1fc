// A changed account taken while the program runs: the backend is told through the account
// link, registers with the new account at once (no restart, no waiting for the next retry),
// and tells the link where the registration stands.
#include <gtest/gtest.h>

#include <mutex>

#include "InterfaceFixture.h"
#include "RawSip.h"
#include "sipaccount/AccountLink.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;
using platform::Millis;
using Phase = RegistrationState::Phase;

class SipAccountReloadTest : public SipInterfaceTest {
  protected:
    std::string Proxy() const { return "sip:127.0.0.1:" + std::to_string(registrar.port()); }
    // The account as the hive would hold it now.
    void SetAccount(SipSettingsResult account) {
        std::lock_guard guard(mutex);
        current = std::move(account);
    }
    SipSettingsResult Account(const std::string& password) {
        SipSettingsResult account = Options(Listen(), Proxy()).settings;
        std::string error;
        account.settings->proxyAddress = ParseSipAddress(Proxy(), error);
        account.settings->password = password;
        return account;
    }
    void Start(SipSettingsResult first) {
        SetAccount(first);
        auto options = Options(Listen(), Proxy());
        options.settings = std::move(first);
        // Far away: only a reload makes the next REGISTER come soon.
        options.registerRetry = Millis(60000);
        options.passwordCheck = Millis(60000);
        options.accountLink = link;
        options.rereadSettings = [this] {
            std::lock_guard guard(mutex);
            return current;
        };
        factory = std::make_unique<SipSkypeFactory>(options);
        skype = factory->CreateSkype(loop);
        skype->Advise(sink);
        skype->Attach(kAttachProtocol, false);
    }
    bool PhaseIs(Phase phase) {
        return RunUntil([&] { return link->Current().phase == phase; });
    }
    void Accept(const std::string& request) {
        const std::string contact = test::RawSip::Header(request, "Contact");
        registrar.SendTo(port, test::RawSip::Response(
                                   request, 200, "OK",
                                   "Contact: " + contact + ";expires=600\r\nExpires: 600\r\n"));
    }
    void TearDown() override {
        skype.reset();
        factory.reset();
    }

    test::RawSip registrar{"127.0.0.1", 0};
    std::shared_ptr<AccountLink> link = std::make_shared<AccountLink>();
    std::mutex mutex;
    SipSettingsResult current;
    std::unique_ptr<SipSkypeFactory> factory;
    std::shared_ptr<Skype> skype;
};

TEST_F(SipAccountReloadTest, AnAccountSetUpWhileRunningRegistersWithoutARestart) {
    Start({std::nullopt, "Identity: no SIP identity is set"});
    ASSERT_TRUE(PhaseIs(Phase::NotSetUp)) << trace.Text();
    EXPECT_NE(link->Current().reason.find("no SIP identity is set"), std::string::npos);
    EXPECT_FALSE(registrar.ReceiveStarting("REGISTER ", 300ms));

    SetAccount(Account("pw"));
    ASSERT_TRUE(link->Reload());
    const auto request = registrar.ReceiveStarting("REGISTER ", 5000ms);
    ASSERT_TRUE(request) << trace.Text();
    EXPECT_EQ(link->Current().phase, Phase::Registering);
    const platform::WallTime accepted = std::chrono::system_clock::now();
    Accept(*request);
    ASSERT_TRUE(PhaseIs(Phase::Registered)) << trace.Text();
    const RegistrationState state = link->Current();
    EXPECT_EQ(state.proxy, Proxy());
    EXPECT_EQ(state.transport, "UDP");
    EXPECT_EQ(state.expires, 600);
    EXPECT_LE(std::chrono::abs(state.when - accepted), 5s);
    ASSERT_TRUE(
        RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::Success); }));
}

TEST_F(SipAccountReloadTest, AFixedPasswordIsTriedAtOnceNotAtTheNextRetry) {
    Start(Account("wrong"));
    const auto first = registrar.ReceiveStarting("REGISTER ", 5000ms);
    ASSERT_TRUE(first) << trace.Text();
    const platform::WallTime refused = std::chrono::system_clock::now();
    registrar.SendTo(port, test::RawSip::Response(*first, 403, "Forbidden"));
    ASSERT_TRUE(PhaseIs(Phase::Failed)) << trace.Text();
    RegistrationState state = link->Current();
    EXPECT_EQ(state.reason, "403 Forbidden");
    // The next try a minute on, as the back-off says.
    EXPECT_LE(std::chrono::abs(state.when - (refused + 60s)), 5s);

    SetAccount(Account("right"));
    ASSERT_TRUE(link->Reload());
    const auto again = registrar.ReceiveStarting("REGISTER ", 5000ms);
    ASSERT_TRUE(again) << "no REGISTER after the reload\n" << trace.Text();
    EXPECT_TRUE(trace.Contains("SIP: the account was saved: registering again\n"));
    Accept(*again);
    ASSERT_TRUE(PhaseIs(Phase::Registered)) << trace.Text();
}

TEST_F(SipAccountReloadTest, AnAccountMadeUnusableSaysSoAndTheLinkOutlivesTheBackend) {
    Start(Account("pw"));
    const auto first = registrar.ReceiveStarting("REGISTER ", 5000ms);
    ASSERT_TRUE(first) << trace.Text();
    Accept(*first);
    ASSERT_TRUE(PhaseIs(Phase::Registered)) << trace.Text();
    SetAccount(
        {std::nullopt,
         "Proxy \"sip:x;transport=sctp\": the transport \"sctp\" is not one of udp, tcp, tls"});
    ASSERT_TRUE(link->Reload());
    ASSERT_TRUE(PhaseIs(Phase::NotSetUp)) << trace.Text();
    EXPECT_NE(link->Current().reason.find("sctp"), std::string::npos);
    ASSERT_TRUE(
        RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::NotAvailable); }));
    skype.reset();
    factory.reset();
    // The backend gone, nobody takes a reload.
    EXPECT_FALSE(link->Reload());
}

}  // namespace
}  // namespace velto::skype::sip
