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

TEST_F(SipRegistrarTest, AWrongPasswordLeavesTheAccountNotAvailableWithTheReason) {
    Start(Millis(10000));
    const auto request = registrar.ReceiveStarting("REGISTER ", 5000ms);
    ASSERT_TRUE(request) << trace.Text();
    registrar.SendTo(port, test::RawSip::Response(*request, 403, "Forbidden"));
    ASSERT_TRUE(RunUntil([&] { return sink.LastAttachment().has_value(); }));
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    EXPECT_TRUE(trace.Contains("SIP: registration at " + Proxy() +
                               " failed: Forbidden (check Proxy, Identity and the password; the "
                               "stack tries again)\n"))
        << trace.Text();
}

TEST_F(SipRegistrarTest, ASilentRegistrarIsReportedAndItsLateAnswerAttaches) {
    Start(Millis(1000));
    ASSERT_TRUE(RunUntil([&] { return sink.LastAttachment().has_value(); }));
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    EXPECT_TRUE(trace.Contains("SIP: not available: Proxy " + Proxy() +
                               " does not answer (the stack keeps trying)\n"))
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
    EXPECT_TRUE(trace.Contains("SIP: registered at " + Proxy() + "\n"));
    EXPECT_EQ(skype->CurrentUserHandle(), "velto@127.0.0.1");
}

}  // namespace
}  // namespace velto::skype::sip
