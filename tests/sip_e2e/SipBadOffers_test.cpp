// Calls no real peer should make: an offer that is no session description, and one of
// nothing the program can play. Sent by hand; the program refuses them and answers the
// next good call.
#include <gtest/gtest.h>

#include <cstdio>

#include "InterfaceFixture.h"
#include "RawSip.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;

constexpr const char* kGarbage = "this is no session description\r\n\x01\x02=\r\nm=audio x y\r\n";
constexpr const char* kUnknownCodec =
    "v=0\r\no=- 1 1 IN IP4 127.0.0.86\r\ns=-\r\nc=IN IP4 127.0.0.86\r\nt=0 0\r\n"
    "m=audio 40000 RTP/AVP 96\r\na=rtpmap:96 NOSUCHCODEC/8000\r\n";

TEST_F(SipInterfaceTest, BadOffersAreRefusedAndTheNextCallIsAnswered) {
    SipSkypeFactory factory(Options(Listen()));
    auto skype = Attached(factory);
    test::RawSip raw(test::PeerAddress(86), 5060);
    ASSERT_TRUE(raw.Bound());

    int round = 0;
    for (const char* offer : {kGarbage, kUnknownCodec}) {
        SCOPED_TRACE(offer);
        const std::string invite =
            raw.Invite(Target(), "bad-offer-" + std::to_string(++round), offer);
        raw.SendTo(port, invite);
        std::optional<std::string> answer;
        do {
            answer = raw.ReceiveStarting("SIP/2.0 ", 5000ms);
        } while (answer && test::RawSip::StatusOf(*answer) < 200);
        ASSERT_TRUE(answer) << trace.Text();
        const int status = test::RawSip::StatusOf(*answer);
        std::printf("bad offer refused with %d\n", status);
        EXPECT_GE(status, 400) << *answer;
        EXPECT_LT(status, 500) << *answer;
        raw.SendTo(port, raw.AckFor(invite, *answer));
    }

    // A good call rings, and is the only call the program was told of.
    test::WriteSine(dir / "voice.wav", 8000, 440, 5);
    test::WriteSine(dir / "tone.wav", 16000, 1000, 1);
    test::SipPeer peer(dir / "peer", test::PeerAddress(87), dir / "voice.wav");
    peer.Call(Target(), 5);
    std::shared_ptr<Call> call;
    ASSERT_TRUE(RunUntil([&] {
        for (const auto& event : sink.events) {
            if (event.id == EventId::CallStatus && event.Int(1) == ToInt(CallStatus::Ringing) &&
                event.Object<Call>(0)->PartnerHandle() == peer.Handle()) {
                call = event.Object<Call>(0);
            }
        }
        return call != nullptr;
    })) << peer.Log();
    call->Answer();
    call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
    ASSERT_TRUE(RunUntil([&] { return call->Status() == CallStatus::EarlyMedia; }));
    // The refused offers are told as missed calls (each rings, then is missed), the good
    // call as the only one that goes on.
    int missed = 0;
    for (const auto& event : sink.events) {
        if (event.id == EventId::CallStatus &&
            event.Object<Call>(0)->PartnerHandle() != peer.Handle()) {
            EXPECT_EQ(event.Object<Call>(0)->PartnerHandle(), "raw@" + raw.address());
            EXPECT_EQ(event.Object<Call>(0)->Status(), CallStatus::Missed);
            missed += event.Int(1) == ToInt(CallStatus::Missed) ? 1 : 0;
        }
        if (event.id == EventId::AttachmentStatus) {
            EXPECT_EQ(event.Int(0), ToInt(AttachmentStatus::Success));
        }
    }
    EXPECT_EQ(missed, 2);
    call->Finish();
    EXPECT_TRUE(RunUntil([&] { return call->Status() == CallStatus::Refused; }));
}

}  // namespace
}  // namespace velto::skype::sip
