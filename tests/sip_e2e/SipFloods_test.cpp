// Floods of datagrams no peer should send: a burst of CANCELs for nothing, thousands of
// datagrams that are no SIP at all, a message far larger than any SIP message over UDP.
// The INVITE that follows each is answered, not lost or left behind the flood.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "InterfaceFixture.h"
#include "RawSip.h"
#include "support/RealTimeLimit.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

constexpr const char* kOffer =
    "v=0\r\no=- 1 1 IN IP4 127.0.0.1\r\ns=-\r\nc=IN IP4 127.0.0.1\r\nt=0 0\r\n"
    "m=audio 40000 RTP/AVP 0\r\na=rtpmap:0 PCMU/8000\r\n";

// A CANCEL of a transaction the program never saw.
std::string StrayCancel(const test::RawSip& raw, const std::string& target, int n) {
    const std::string me = raw.address() + ":" + std::to_string(raw.port());
    const std::string id = "stray-" + std::to_string(n);
    return "CANCEL " + target + " SIP/2.0\r\nVia: SIP/2.0/UDP " + me + ";branch=z9hG4bK" + id +
           "\r\nMax-Forwards: 70\r\nFrom: <sip:flood@" + me + ">;tag=" + id + "\r\nTo: <" + target +
           ">\r\nCall-ID: " + id + "\r\nCSeq: 1 CANCEL\r\nContent-Length: 0\r\n\r\n";
}

class SipFloodsTest : public SipInterfaceTest {
  protected:
    // Sends `invite` and returns how long its first answer took; nothing when none came.
    // Answers to other calls are skipped; `seen` collects their Call-IDs.
    std::optional<std::chrono::milliseconds> FirstAnswer(test::RawSip& raw,
                                                         const std::string& invite,
                                                         std::vector<std::string>* seen = nullptr) {
        const std::string id = test::RawSip::Header(invite, "Call-ID");
        const auto sent = Steady::now();
        raw.SendTo(port, invite);
        // A guard against a hang, generous for sanitizer builds on busy machines: answered one
        // message per idle interval, the burst alone would take half a minute.
        const auto deadline = sent + 25s;
        // Sent again as a caller does (every 500 ms, doubling) while no answer comes.
        auto resend = sent + 500ms;
        auto every = 500ms;
        while (Steady::now() < deadline) {
            if (Steady::now() >= resend) {
                raw.SendTo(port, invite);
                every *= 2;
                resend += every;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::min(deadline, resend) - Steady::now());
            const std::optional<std::string> answer =
                raw.ReceiveStarting("SIP/2.0 ", std::max(left, std::chrono::milliseconds(1)));
            if (!answer) {
                continue;
            }
            const std::string of = test::RawSip::Header(*answer, "Call-ID");
            if (of == id) {
                return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - sent);
            }
            if (seen != nullptr) {
                seen->push_back(of);
            }
        }
        return std::nullopt;
    }
};

// The goal for the first answer after a flood; the sanitizers slow every thread several times
// over, so there the test only holds the program to answering soon.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr std::chrono::milliseconds kFirstAnswerGoal{3000};
#else
constexpr std::chrono::milliseconds kFirstAnswerGoal{1000};
#endif

TEST_F(SipFloodsTest, TheInviteAfterAFloodIsAnsweredAndAnOversizedMessageIsDropped) {
    test::RealTimeLimit limit(120s, "SIP floods");
    SipSkypeFactory factory(Options(Listen()));
    auto skype = Attached(factory);
    test::RawSip raw(test::PeerAddress(98), 0);
    // The flood comes from elsewhere: its answers would overflow the caller's socket.
    test::RawSip flood(test::PeerAddress(99), 0);
    ASSERT_TRUE(raw.Bound());
    ASSERT_TRUE(flood.Bound());

    // Answered one message per idle interval, the burst would hold the INVITE back for
    // half a minute, and the socket would overflow and lose it.
    for (int n = 0; n < 200; ++n) {
        flood.SendTo(port, StrayCancel(flood, Target(), n));
    }
    const auto afterCancels = FirstAnswer(raw, raw.Invite(Target(), "after-cancels", kOffer));
    ASSERT_TRUE(afterCancels) << trace.Text();
    std::printf("first answer to the INVITE after 200 CANCELs: %lld ms\n",
                static_cast<long long>(afterCancels->count()));
    EXPECT_LE(*afterCancels, kFirstAnswerGoal);

    for (int n = 0; n < 4000; ++n) {
        flood.SendTo(port, "no SIP at all " + std::to_string(n) + "\x01\x02\r\n");
    }
    const auto afterGarbage = FirstAnswer(raw, raw.Invite(Target(), "after-garbage", kOffer));
    ASSERT_TRUE(afterGarbage) << trace.Text();
    std::printf("first answer to the INVITE after 4,000 garbage datagrams: %lld ms\n",
                static_cast<long long>(afterGarbage->count()));
    EXPECT_LE(*afterGarbage, kFirstAnswerGoal);

    // Dropped unread: no answer to it, while the INVITE right behind it is answered.
    std::string big = raw.Invite(Target(), "oversized", kOffer);
    big.insert(big.find("Max-Forwards"), "X-Padding: " + std::string(40000, 'a') + "\r\n");
    raw.SendTo(port, big);
    std::vector<std::string> seen;
    ASSERT_TRUE(FirstAnswer(raw, raw.Invite(Target(), "after-oversized", kOffer), &seen))
        << trace.Text();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "oversized"), 0);
    EXPECT_NE(trace.Text().find("SIP: dropped a message of " + std::to_string(big.size()) +
                                " bytes from " + raw.address() + ":" + std::to_string(raw.port())),
              std::string::npos)
        << trace.Text();
}

}  // namespace
}  // namespace velto::skype::sip
