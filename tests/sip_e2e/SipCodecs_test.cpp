// Callers with each common codec: the ring-back tone (a 16 kHz file) reaches them at its own
// pitch whatever the codec's rate.
#include <gtest/gtest.h>

#include "InterfaceFixture.h"
#include "RawSip.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;
using platform::Millis;

constexpr double kTone = 1000;
constexpr double kCallerPitch = 440;

struct Codec {
    const char* module;
    const char* name;  // as baresip names it
    int rate;          // of what the caller decodes
};

class SipCodecsTest : public SipInterfaceTest {
  protected:
    // The program with media encryption `mode` made mandatory answers a caller encrypting
    // with baresip's `mediaenc`: the caller hears the tone. Returns the caller's log.
    std::string EncryptedCallCarriesTheTone(const std::string& mode, const std::string& mediaenc,
                                            int peerAddress) {
        test::WriteSine(dir / "tone.wav", 16000, kTone, 2);
        test::WriteSine(dir / "voice.wav", 8000, kCallerPitch, 10);
        SipBackendOptions options = Options(Listen());
        options.settings.settings->mediaEncryption = mode;
        options.settings.settings->mediaEncryptionMandatory = true;
        factory_ = std::make_unique<SipSkypeFactory>(options);
        skype_ = Attached(*factory_);

        test::SipPeer peer(dir / mediaenc, test::PeerAddress(peerAddress), dir / "voice.wav");
        peer.UseMediaEncryption(mediaenc);
        peer.Call(Target(), 4);
        EXPECT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
            << peer.Log() << trace.Text();
        auto call = sink.CallWithStatus(CallStatus::Ringing);
        if (call == nullptr) {
            return peer.Log();
        }
        call->Answer();
        call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
        EXPECT_TRUE(RunUntil([&] { return call->Status() == CallStatus::EarlyMedia; }));
        EXPECT_TRUE(
            RunUntil([&] { return call->Status() != CallStatus::EarlyMedia; }, Millis(8000)));
        peer.Wait(3000ms);
        const auto heard = peer.Heard();
        EXPECT_TRUE(heard) << peer.Log();
        if (heard) {
            EXPECT_GE(test::SecondsOf(*heard, kTone), 1.5) << peer.Log();
        }
        return peer.Log();
    }

    std::unique_ptr<SipSkypeFactory> factory_;
    std::shared_ptr<Skype> skype_;
};

TEST_F(SipCodecsTest, EachCodecCarriesTheToneAtItsPitch) {
    test::WriteSine(dir / "tone.wav", 16000, kTone, 2);
    const Codec codecs[] = {
        {"g711.so", "PCMA", 8000}, {"g722.so", "G722", 16000}, {"opus.so", "opus", 48000}};
    SipSkypeFactory factory(Options(Listen()));
    auto skype = Attached(factory);
    int n = 0;
    for (const Codec& codec : codecs) {
        SCOPED_TRACE(codec.name);
        sink.events.clear();
        test::SipPeer peer(dir / codec.name, test::PeerAddress(40 + n++), dir / "none.wav");
        peer.UseCodec(codec.module, codec.name, kCallerPitch);
        peer.Call(Target(), 4);
        ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
            << peer.Log() << trace.Text();
        auto call = sink.CallWithStatus(CallStatus::Ringing);
        call->Answer();
        call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
        ASSERT_TRUE(RunUntil([&] { return call->Status() == CallStatus::EarlyMedia; }));
        ASSERT_TRUE(
            RunUntil([&] { return call->Status() != CallStatus::EarlyMedia; }, Millis(8000)));
        peer.Wait(3000ms);
        const auto heard = peer.Heard();
        ASSERT_TRUE(heard) << peer.Log();
        EXPECT_EQ(heard->rate, codec.rate) << peer.Log();
        // The tone, not an octave off (what a wrong rate would make of it).
        EXPECT_GE(test::SecondsOf(*heard, kTone), 1.5) << peer.Log();
        EXPECT_LT(test::SecondsOf(*heard, kTone / 2, 0.3), 0.2);
        EXPECT_LT(test::SecondsOf(*heard, kTone * 2, 0.3), 0.2);
        std::printf("figure: %s at %d Hz: %.1f s of the %g Hz tone, share %.2f\n", codec.name,
                    heard->rate, test::SecondsOf(*heard, kTone), kTone,
                    test::ShareAt(*heard, kTone, 0.2, 1.8));
    }
}

TEST_F(SipCodecsTest, TheAnswerKeepsTelephoneEvents) {
    SipSkypeFactory factory(Options(Listen()));
    auto skype = Attached(factory);
    test::RawSip raw(test::PeerAddress(46), 5060);
    ASSERT_TRUE(raw.Bound());
    const std::string a = raw.address();
    const std::string invite =
        raw.Invite(Target(), "dtmf",
                   "v=0\r\no=- 1 1 IN IP4 " + a + "\r\ns=-\r\nc=IN IP4 " + a +
                       "\r\nt=0 0\r\nm=audio 40000 RTP/AVP 9 101\r\na=rtpmap:9 G722/8000\r\n"
                       "a=rtpmap:101 telephone-event/8000\r\n");
    raw.SendTo(port, invite);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
        << trace.Text();
    test::WriteSine(dir / "tone.wav", 16000, kTone, 1);
    auto call = sink.CallWithStatus(CallStatus::Ringing);
    call->Answer();
    call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
    std::optional<std::string> answer;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        RunUntil([] { return false; }, Millis(50));
        answer = raw.ReceiveStarting("SIP/2.0 18", 100ms);
        if (answer && !test::RawSip::Body(*answer).empty()) {
            break;
        }
    }
    ASSERT_TRUE(answer) << trace.Text();
    const std::string sdp = test::RawSip::Body(*answer);
    EXPECT_NE(sdp.find(" RTP/AVP 9 101\r\n"), std::string::npos) << sdp;  // G.722 and events
    EXPECT_NE(sdp.find("telephone-event/8000"), std::string::npos) << sdp;
    call->Finish();
}

TEST_F(SipCodecsTest, MandatorySrtpCarriesTheToneAndRefusesPlainCallers) {
    EncryptedCallCarriesTheTone("srtp", "srtp-mand", 47);

    // A caller without encryption is refused, and leaves a missed call.
    sink.events.clear();
    test::SipPeer plain(dir / "plain", test::PeerAddress(48), dir / "voice.wav");
    plain.Call(Target(), 2);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Missed) != nullptr; }))
        << plain.Log() << trace.Text();
    EXPECT_EQ(sink.CallWithStatus(CallStatus::Missed)->PartnerHandle(), plain.Handle());
}

// Keys agreed in a DTLS handshake on the media path (no keys in the SDP).
TEST_F(SipCodecsTest, MandatoryDtlsSrtpCarriesTheTone) {
    const std::string log = EncryptedCallCarriesTheTone("dtls", "dtls_srtp", 49);
    // The handshake completed with the fingerprint the SDP announced.
    EXPECT_NE(log.find("verified SHA-256 fingerprint OK"), std::string::npos) << log;
    EXPECT_NE(log.find("DTLS-SRTP complete (audio/RTP)"), std::string::npos);
}

TEST_F(SipCodecsTest, ACallRefusedForItsCodecIsToldAsAMissedCall) {
    SipSkypeFactory factory(Options(Listen()));
    auto skype = Attached(factory);
    // GSM is none of the codecs the stack has on.
    test::SipPeer peer(dir / "gsm", test::PeerAddress(45), dir / "none.wav");
    peer.UseCodec("gsm.so", "GSM", kCallerPitch);
    peer.Call(Target(), 2);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Missed) != nullptr; }))
        << peer.Log() << trace.Text();
    EXPECT_TRUE(peer.WaitForLog("488 Not acceptable here", 2000ms)) << peer.Log();
    const auto call = sink.CallWithStatus(CallStatus::Missed);
    EXPECT_EQ(call->PartnerHandle(), peer.Handle());
    EXPECT_NE(sink.CallWithStatus(CallStatus::Ringing), nullptr);  // as any call begins
    EXPECT_TRUE(trace.Contains("SIP: call 1 from " + peer.Handle() +
                               " refused by the SIP stack: 488 Not acceptable here\n"))
        << trace.Text();
}

}  // namespace
}  // namespace velto::skype::sip
