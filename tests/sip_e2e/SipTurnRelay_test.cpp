// A call whose sound can reach the caller through a TURN server only. It runs inside
// tests/sip_e2e/in-private-network (ctest: SipTurnRelay): there the stack has real
// addresses, and the caller, in a network of its own, reaches the registrar's and the
// relay's ports but none of the callee's.
#include <gtest/gtest.h>
#include <linphone/core.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>

#include "Coturn.h"
#include "InterfaceFixture.h"
#include "Kamailio.h"
#include "WavTone.h"
#include "support/RealTimeLimit.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;
using platform::Millis;

constexpr const char* kTurnUser = "relay-7";
constexpr const char* kTurnPassword = "relaypw";

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

// The sum of `field` (e.g. "sb") over coturn's "peer usage" lines of sessions that ended.
long PeerUsage(const std::string& log, const std::string& field) {
    long total = 0;
    const std::regex line(
        "peer usage: realm=<[^>]*>, username=<[^>]*>, rp=(\\d+), rb=(\\d+), "
        "sp=(\\d+), sb=(\\d+)");
    const int index = field == "rp" ? 1 : field == "rb" ? 2 : field == "sp" ? 3 : 4;
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it) {
        total += std::stol((*it)[index].str());
    }
    return total;
}

class SipTurnTest : public SipInterfaceTest {
  protected:
    void SetUp() override {
        SipInterfaceTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        callee = Env("VELTO_NET_CALLEE");
        servers = Env("VELTO_NET_SERVERS");
        caller = Env("VELTO_NET_CALLER");
        callerNetwork = Env("VELTO_NET_CALLER_NS");
        if (callee.empty() || servers.empty() || caller.empty() || callerNetwork.empty()) {
            GTEST_SKIP() << "runs inside tests/sip_e2e/in-private-network (ctest SipTurnRelay)";
        }
        if (!test::Kamailio::Available() || !test::Coturn::Available()) {
            GTEST_SKIP() << "Kamailio or coturn is not installed (scripts/setup installs them)";
        }
    }

    std::string callee, servers, caller, callerNetwork;
};

TEST_F(SipTurnTest, TheRingBackGoesOutThroughTheRelayToACallerBehindIt) {
    test::RealTimeLimit limit(std::chrono::seconds(45), "the relayed call");
    test::Kamailio registrar(dir / "kamailio", servers,
                             {{"velto", "veltopw"}, {"alice", "alicepw"}});
    ASSERT_TRUE(registrar.Start()) << registrar.Log();
    test::Coturn relay(dir / "turn", servers, kTurnUser, kTurnPassword);
    ASSERT_TRUE(relay.Start()) << relay.Log();

    test::WriteSine(dir / "voice.wav", 8000, 440, 10);
    test::WriteSine(dir / "tone.wav", 16000, 1000, 8);
    test::SipPeer peer(dir / "peer", caller, dir / "voice.wav");
    peer.UseIce();
    peer.RunInNetwork(callerNetwork);
    peer.RegisterAt(servers, "alicepw");

    const std::string proxy = "sip:" + servers + ":5060";
    SipBackendOptions options = Options(callee + ":5062", proxy);
    SipSettings& s = *options.settings.settings;
    std::string error;
    s.identityText = "sip:velto@" + servers;
    s.identity = *ParseSipAddress(s.identityText, error);
    s.proxyAddress = ParseSipAddress(proxy, error);
    s.password = "veltopw";
    s.turn = relay.Server();
    s.turnUser = kTurnUser;
    s.turnPassword = kTurnPassword;
    s.ice = true;
    SipSkypeFactory factory(options);
    auto skype = Attached(factory);
    // The stack's notes say which path ICE chose.
    LinphoneLoggingService* stackLog = linphone_logging_service_get();
    linphone_logging_service_set_log_level(stackLog, LinphoneLogLevelMessage);
    EXPECT_TRUE(trace.Contains("SIP: sound relayed through the TURN server " + relay.Server() +
                               " as relay-7\n"))
        << trace.Text();

    peer.Call("sip:velto@" + servers, 8);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
        << peer.Log() << registrar.Log();
    auto call = sink.CallWithStatus(CallStatus::Ringing);
    call->Answer();
    call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
    ASSERT_TRUE(RunUntil([&] { return call->Status() == CallStatus::EarlyMedia; }));
    const double earlyMedia =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - peer.started())
            .count();
    // The caller hangs up after 8 s.
    ASSERT_TRUE(RunUntil([&] { return call->Status() != CallStatus::EarlyMedia; }, Millis(15000)));
    const double ended =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - peer.started())
            .count();
    peer.Wait(4000ms);
    // The stack gives its allocations back at the call's end; the relay then closes the
    // sessions (on its 1-s timer) and logs what each relayed.
    const std::string usage =
        "peer usage: realm=<" + std::string(test::Coturn::kRealm) + ">, username=<relay-7>";
    EXPECT_TRUE(relay.WaitForLog(usage, 5000ms)) << relay.Log();
    relay.Stop();
    linphone_logging_service_set_log_level(stackLog, LinphoneLogLevelWarning);
    const std::string log = relay.Log();
    std::ifstream stackFile(dir / "sip" / "sip.log");
    const std::string stackNotes((std::istreambuf_iterator<char>(stackFile)),
                                 std::istreambuf_iterator<char>());

    // Velto offered the relay's address and ICE chose it: the callee's own addresses are
    // out of the caller's reach.
    EXPECT_NE(stackNotes.find(" typ relay raddr " + callee), std::string::npos);
    EXPECT_NE(stackNotes.find("ICE state is IceStateRelayConnection"), std::string::npos);
    EXPECT_NE(log.find("user <relay-7>: incoming packet ALLOCATE processed, success"),
              std::string::npos)
        << log;
    // The caller's ICE chose the relay's address too (the relay's ports: 40000-40999),
    // and the relay sent on the ring-back, at least 2 s of 20-ms packets.
    EXPECT_NE(peer.Log().find("mnat 'ice' connected: raddr " + servers + ":40"), std::string::npos)
        << peer.Log();
    const long packets = PeerUsage(log, "sp");
    const long bytes = PeerUsage(log, "sb");
    EXPECT_GE(packets, 100) << log;
    EXPECT_GE(PeerUsage(log, "rp"), 50) << log;  // and the caller's sound came back through it

    // The caller heard the ring-back. Its decoder starts once its own ICE is done (a few
    // seconds: its checks towards the callee's addresses time out first).
    const auto heard = peer.Heard();
    ASSERT_TRUE(heard) << peer.Log();
    const double toneSeconds = test::SecondsOf(*heard, 1000);
    EXPECT_GE(toneSeconds, 2.0) << peer.Log();
    EXPECT_LT(test::SecondsOf(*heard, 440), 0.5);  // not its own voice
    const auto firstTone = test::FirstTimeOf(*heard, 1000);
    ASSERT_TRUE(firstTone) << peer.Log();
    // The decoded sound ends with the call: it began that long before the end.
    const double decodeStart = ended - static_cast<double>(heard->samples.size()) * 1000 /
                                           static_cast<double>(heard->rate);
    std::printf(
        "figure: relayed call: dial to early media %.0f ms; first 1 kHz window heard about "
        "%.0f ms after the dial (%.0f ms into the caller's decoded sound), %.1f s of tone "
        "heard; the relay sent %ld packets, %ld bytes to the caller and got %ld from it\n",
        earlyMedia, decodeStart + *firstTone * 1000, *firstTone * 1000, toneSeconds, packets, bytes,
        PeerUsage(log, "rp"));
}

}  // namespace
}  // namespace velto::skype::sip
