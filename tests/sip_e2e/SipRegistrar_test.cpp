// An account with a registrar: a registrar of the test's own on loopback that refuses the
// account, stays silent, or accepts it.
#include <gtest/gtest.h>

#include "InterfaceFixture.h"
#include "RawSip.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;
using platform::Millis;

class SipRegistrarTest : public SipInterfaceTest {
  protected:
    std::string Proxy() const { return "sip:127.0.0.1:" + std::to_string(registrar.port()); }
    void Start(Millis registerTimeout) {
        auto options = Options(Listen(), Proxy());
        options.registerTimeout = registerTimeout;
        options.registerRetry = Millis(1000);
        factory = std::make_unique<SipSkypeFactory>(options);
        skype = factory->CreateSkype(loop);
        skype->Advise(sink);
        skype->Attach(kAttachProtocol, false);
    }
    void TearDown() override {
        skype.reset();
        factory.reset();
    }

    test::RawSip registrar{"127.0.0.1", 0};
    std::unique_ptr<SipSkypeFactory> factory;
    std::shared_ptr<Skype> skype;
};

TEST_F(SipRegistrarTest, ARefusedRegistrationIsTriedAgainAndThenSucceeds) {
    Start(Millis(10000));
    const auto request = registrar.ReceiveStarting("REGISTER ", 5000ms);
    ASSERT_TRUE(request) << trace.Text();
    EXPECT_EQ(test::RawSip::Header(*request, "User-Agent").rfind("Velto/", 0), 0u)
        << test::RawSip::Header(*request, "User-Agent");
    // Offered, a GRUU in the Contact would be unroutable through a plain proxy.
    EXPECT_EQ(test::RawSip::Header(*request, "Supported").find("gruu"), std::string::npos);
    registrar.SendTo(port, test::RawSip::Response(*request, 403, "Forbidden"));
    ASSERT_TRUE(RunUntil([&] { return sink.LastAttachment().has_value(); }));
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    EXPECT_TRUE(trace.Contains("SIP: registration at " + Proxy() +
                               " over UDP failed: 403 Forbidden; next try in 1 s, at "))
        << trace.Text();

    // The stack alone would never ask again after a refusal.
    const auto again = registrar.ReceiveStarting("REGISTER ", 5000ms);
    ASSERT_TRUE(again) << trace.Text();
    const std::string contact = test::RawSip::Header(*again, "Contact");
    registrar.SendTo(
        port, test::RawSip::Response(*again, 200, "OK",
                                     "Contact: " + contact + ";expires=600\r\nExpires: 600\r\n"));
    ASSERT_TRUE(RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::Success); }))
        << trace.Text();
    EXPECT_TRUE(trace.Contains("SIP: registered at " + Proxy() +
                               " over UDP as velto@127.0.0.1 (expires in 600 s)\n"))
        << trace.Text();
}

TEST_F(SipRegistrarTest, ASilentRegistrarIsReportedAndItsLateAnswerAttaches) {
    Start(Millis(1000));
    ASSERT_TRUE(RunUntil([&] { return sink.LastAttachment().has_value(); }));
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    EXPECT_TRUE(trace.Contains("SIP: registration at " + Proxy() +
                               " over UDP failed: no answer within 1 s; next try in 1 s, at "))
        << trace.Text();

    // The stack sends the REGISTER again; this time it gets its answer.
    const auto request = registrar.ReceiveStarting("REGISTER ", 8000ms);
    ASSERT_TRUE(request);
    const std::string contact = test::RawSip::Header(*request, "Contact");
    registrar.SendTo(
        port, test::RawSip::Response(*request, 200, "OK",
                                     "Contact: " + contact + ";expires=600\r\nExpires: 600\r\n"));
    ASSERT_TRUE(RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::Success); }))
        << trace.Text();
    EXPECT_TRUE(trace.Contains("SIP: registered at " + Proxy() + " over UDP"));
    EXPECT_EQ(skype->CurrentUserHandle(), "velto@127.0.0.1");
}

}  // namespace
}  // namespace velto::skype::sip
