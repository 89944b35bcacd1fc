// Calls with ZRTP (keys agreed on the media path, checked by a short authentication string),
// from a second liblinphone: the caller hears the ring-back encrypted, both sides name the
// same SAS, and a plain caller is refused when encryption is mandatory.
#include <gtest/gtest.h>
#include <linphone/core.h>

#include "InterfaceFixture.h"
#include "LinphoneCaller.h"
#include "support/RealTimeLimit.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;
using platform::Millis;

constexpr double kRingBack = 1000;
constexpr double kVoice = 440;

class SipZrtpTest : public SipInterfaceTest {
  protected:
    // Velto with `encryption` (mandatory unless "none") and a caller with ZRTP or without.
    void Start(const std::string& encryption) {
        test::WriteSine(dir / "tone.wav", 16000, kRingBack, 2);
        test::WriteSine(dir / "voice.wav", 8000, kVoice, 10);
        SipBackendOptions options = Options(Listen());
        options.settings.settings->mediaEncryption = encryption;
        options.settings.settings->mediaEncryptionMandatory = encryption != "none";
        factory_ = std::make_unique<SipSkypeFactory>(options);
        skype_ = Attached(*factory_);
    }
    // Runs velto's loop and the caller's stack until `pred` holds (real time, `limit`).
    bool Until(test::LinphoneCaller& caller, const std::function<bool()>& pred,
               Millis limit = Millis(8000)) {
        return RunUntil(
            [&] {
                caller.Iterate();
                return pred();
            },
            limit);
    }
    // The caller's call answered with the ring-back as early media, until the caller has
    // heard 1.5 s of it; the time from the dial to the first sound it heard, in ms.
    std::optional<double> RingBack(test::LinphoneCaller& caller) {
        EXPECT_TRUE(caller.Call(Target()));
        EXPECT_TRUE(Until(caller, [&] {
            return sink.CallWithStatus(CallStatus::Ringing) != nullptr;
        })) << trace.Text();
        auto call = sink.CallWithStatus(CallStatus::Ringing);
        if (call == nullptr) {
            return std::nullopt;
        }
        call->Answer();
        call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
        std::optional<double> firstSound;
        EXPECT_TRUE(Until(caller, [&] {
            if (!firstSound) {
                // The sound comes in 20-ms blocks: its first block's time, not the poll's.
                const auto heard = caller.Heard();
                if (const auto first = heard ? test::FirstSound(*heard) : std::nullopt) {
                    const auto now = std::chrono::steady_clock::now() - caller.started();
                    firstSound = std::chrono::duration<double, std::milli>(now).count() -
                                 (heard->Seconds() - *first) * 1000;
                }
            }
            const auto heard = caller.Heard();
            return heard && test::SecondsOf(*heard, kRingBack) >= 1.5;
        })) << trace.Text();
        return firstSound;
    }
    void HangUp(test::LinphoneCaller& caller) {
        caller.HangUp();
        EXPECT_TRUE(Until(caller, [&] { return caller.Ended(); }));
    }

    std::unique_ptr<SipSkypeFactory> factory_;
    std::shared_ptr<Skype> skype_;
};

TEST_F(SipZrtpTest, MandatoryZrtpCarriesTheRingBackUnderOneSas) {
    test::RealTimeLimit limit(30s, "the ZRTP call");
    Start("zrtp");
    test::LinphoneCaller caller(dir / "caller", test::PeerAddress(61), dir / "voice.wav");
    caller.UseZrtp();
    const auto firstSound = RingBack(caller);

    EXPECT_EQ(caller.MediaEncryption(), LinphoneMediaEncryptionZRTP);
    const std::string sas = caller.Sas();
    EXPECT_EQ(sas.size(), 4U) << sas;  // base32, as both users read it out
    EXPECT_TRUE(trace.Contains("SIP: call 1 sound encrypted with ZRTP (SAS " + sas + ")\n"))
        << trace.Text();
    HangUp(caller);
    const auto heard = caller.Heard();
    ASSERT_TRUE(heard);
    EXPECT_GE(test::SecondsOf(*heard, kRingBack), 1.5);
    ASSERT_TRUE(firstSound);
    std::printf("figure: ZRTP: dial to the first sound heard %.0f ms\n", *firstSound);
}

TEST_F(SipZrtpTest, APlainCallCarriesTheRingBack) {
    test::RealTimeLimit limit(30s, "the plain call");
    Start("none");
    test::LinphoneCaller caller(dir / "caller", test::PeerAddress(62), dir / "voice.wav");
    const auto firstSound = RingBack(caller);
    EXPECT_EQ(caller.MediaEncryption(), LinphoneMediaEncryptionNone);
    HangUp(caller);
    const auto heard = caller.Heard();
    ASSERT_TRUE(heard);
    EXPECT_GE(test::SecondsOf(*heard, kRingBack), 1.5);
    ASSERT_TRUE(firstSound);
    std::printf("figure: no encryption: dial to the first sound heard %.0f ms\n", *firstSound);
}

// The stack would take the call and drop its sound: velto refuses it, as the stack refuses
// a plain caller when SRTP is mandatory, and keeps a missed call.
TEST_F(SipZrtpTest, MandatoryZrtpRefusesAPlainCaller) {
    test::RealTimeLimit limit(30s, "the plain caller");
    Start("zrtp");
    test::LinphoneCaller caller(dir / "caller", test::PeerAddress(63), dir / "voice.wav");
    ASSERT_TRUE(caller.Call(Target()));
    ASSERT_TRUE(Until(caller, [&] { return sink.CallWithStatus(CallStatus::Missed) != nullptr; }))
        << trace.Text();
    EXPECT_TRUE(Until(caller, [&] { return caller.Ended(); }));
    EXPECT_EQ(caller.ProtocolCode(), 488);
    const std::string handle = "alice@" + test::PeerAddress(63);
    EXPECT_EQ(sink.CallWithStatus(CallStatus::Missed)->PartnerHandle(), handle);
    EXPECT_TRUE(trace.Contains("SIP: call 1 from " + handle +
                               " refused: no ZRTP offered (MediaEncryptionMandatory)\n"))
        << trace.Text();
    // One record of it, not a second one from the stack's call log.
    EXPECT_EQ(sink.CallEvents(), 2);
    EXPECT_FALSE(trace.Contains("refused by the SIP stack"));
}

}  // namespace
}  // namespace velto::skype::sip
