// A call whose sound can reach the caller through a TURN server only. It runs inside
// tests/sip_e2e/in-private-network (ctest: SipTurnRelay): there the stack has real
// addresses, and the caller, in a network of its own, reaches the registrar's and the
// relay's ports but none of the callee's.
#include <gtest/gtest.h>
#include <linphone/core.h>

#include <cctype>
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

class SipTurnFixture : public SipInterfaceTest {
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

    // velto registered at the servers' Kamailio, listening on `port`, its sound relayed by
    // `relay` (TLS allowed, as only tests may) with the CA of `caFile` if any.
    SipBackendOptions RelayedAccount(uint16_t port, const test::Coturn& relay,
                                     const std::string& caFile) {
        const std::string proxy = "sip:" + servers + ":5060";
        SipBackendOptions options = Options(callee + ":" + std::to_string(port), proxy);
        SipSettings& s = *options.settings.settings;
        std::string error;
        s.identityText = "sip:velto@" + servers;
        s.identity = *ParseSipAddress(s.identityText, error);
        s.proxyAddress = ParseSipAddress(proxy, error);
        s.password = "veltopw";
        s.turn = relay.Setting();
        s.caFile = caFile;
        s.turnUser = kTurnUser;
        s.turnPassword = kTurnPassword;
        s.ice = true;
        options.turnOverTls = true;  // refused otherwise, for the crash SipTurnTlsTest shows
        return options;
    }

    std::string callee, servers, caller, callerNetwork;
};

// The transport between the callee and the relay; the caller reaches the relay's ports
// over UDP.
class SipTurnTest : public SipTurnFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(SipTurnTest, TheRingBackGoesOutThroughTheRelayToACallerBehindIt) {
    const std::string transport = GetParam();
    std::string upper = transport;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    test::RealTimeLimit limit(std::chrono::seconds(45), "the relayed call");
    test::Kamailio registrar(dir / "kamailio", servers,
                             {{"velto", "veltopw"}, {"alice", "alicepw"}});
    ASSERT_TRUE(registrar.Start()) << registrar.Log();
    test::Coturn relay(dir / "turn", servers, kTurnUser, kTurnPassword, transport);
    ASSERT_TRUE(relay.Start()) << relay.Log();

    test::WriteSine(dir / "voice.wav", 8000, 440, 10);
    test::WriteSine(dir / "tone.wav", 16000, 1000, 8);
    test::SipPeer peer(dir / "peer", caller, dir / "voice.wav");
    peer.UseIce();
    peer.RunInNetwork(callerNetwork);
    peer.RegisterAt(servers, "alicepw");

    const SipBackendOptions options =
        RelayedAccount(5062, relay, transport == "tls" ? relay.CaFile().string() : std::string());
    SipSkypeFactory factory(options);
    auto skype = Attached(factory);
    // The stack's notes say which path ICE chose.
    LinphoneLoggingService* stackLog = linphone_logging_service_get();
    linphone_logging_service_set_log_level(stackLog, LinphoneLogLevelMessage);
    EXPECT_TRUE(trace.Contains("SIP: sound relayed through the TURN server " + relay.Server() +
                               " over " + upper + " as relay-7\n"))
        << trace.Text();

    peer.Call("sip:velto@" + servers, 10);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
        << peer.Log() << registrar.Log();
    auto call = sink.CallWithStatus(CallStatus::Ringing);
    call->Answer();
    call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
    ASSERT_TRUE(RunUntil([&] { return call->Status() == CallStatus::EarlyMedia; }));
    const double earlyMedia =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - peer.started())
            .count();
    // The caller hangs up after 10 s. Meanwhile: when its first packet came (through the
    // relay: nothing else reaches it) and when its ICE was done (its decoder starts then).
    std::optional<double> firstPacket;
    std::optional<double> iceDone;
    const auto sinceDial = [&] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                         peer.started())
            .count();
    };
    ASSERT_TRUE(RunUntil(
        [&] {
            if (!firstPacket || !iceDone) {
                const std::string text = peer.Log();
                if (!firstPacket &&
                    text.find("incoming rtp for 'audio' established") != std::string::npos) {
                    firstPacket = sinceDial();
                }
                if (!iceDone && text.find("mnat 'ice' connected") != std::string::npos) {
                    iceDone = sinceDial();
                }
            }
            return call->Status() != CallStatus::EarlyMedia;
        },
        Millis(15000)));
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

    // Velto offered the relay's address (its ports: 40000-40999) and ICE chose it: the
    // callee's own addresses are out of the caller's reach.
    EXPECT_TRUE(std::regex_search(
        stackNotes,
        std::regex(" UDP \\d+ " + std::regex_replace(servers, std::regex("\\."), "\\.") +
                   " 40\\d\\d\\d typ relay raddr ")));
    EXPECT_NE(stackNotes.find("ICE state is IceStateRelayConnection"), std::string::npos);
    EXPECT_NE(log.find("user <relay-7>: incoming packet ALLOCATE processed, success"),
              std::string::npos)
        << log;
    // The relay listened on the transport under test alone, and says which one carried the
    // sessions.
    const std::string closed = "user <relay-7> realm <" + std::string(test::Coturn::kRealm) +
                               "> origin <>, local " + relay.Server() + ", remote " + callee + ":";
    EXPECT_NE(log.find(closed), std::string::npos) << log;
    if (transport == "tcp") {
        EXPECT_NE(log.find("reason: TCP connection closed by client"), std::string::npos) << log;
        EXPECT_EQ(log.find("UDP listener opened"), std::string::npos) << log;
    }
    if (transport == "tls") {
        EXPECT_NE(log.find("username=<relay-7>, lifetime=600, cipher="), std::string::npos) << log;
        EXPECT_NE(log.find("reason: TLS/TCP connection closed by client"), std::string::npos)
            << log;
    }
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
    ASSERT_TRUE(firstPacket && iceDone) << peer.Log();
    std::printf(
        "figure: call relayed over %s: dial to early media %.0f ms, to the caller's first "
        "packet %.0f ms, to its ICE done %.0f ms, to the first 1 kHz window it heard %.0f ms; "
        "%.1f s of tone heard; the relay sent %ld packets, %ld bytes to the caller and got %ld "
        "from it\n",
        upper.c_str(), earlyMedia, *firstPacket, *iceDone, *iceDone + *firstTone * 1000,
        toneSeconds, packets, bytes, PeerUsage(log, "rp"));
}

// Over TLS the stack checks the relay's certificate as the provider's: against the system's
// CAs and the user's ca-file (the CA bundle of SetUpTls), and for the host of the Turn
// setting; it makes no allocation with a relay it refused. But its TLS client then tries
// again every half second, and ending the call frees the random generator such an attempt
// still uses: the program crashes (in bctoolbox::RNG::randomize, under
// TurnSocket::runRead, most runs). Hence velto refuses TURN over TLS; this test, disabled,
// shows the crash for a future stack (--gtest_also_run_disabled_tests, in
// in-private-network).
using SipTurnTlsTest = SipTurnFixture;

TEST_F(SipTurnTlsTest, DISABLED_AnUntrustedOrMisnamedRelayIsNotUsed) {
    test::RealTimeLimit limit(std::chrono::seconds(45), "the refused relays");
    test::Kamailio registrar(dir / "kamailio", servers,
                             {{"velto", "veltopw"}, {"alice", "alicepw"}});
    ASSERT_TRUE(registrar.Start()) << registrar.Log();
    test::WriteSine(dir / "voice.wav", 8000, 440, 10);
    struct Case {
        bool trustTheCa;
        std::string certifiedName;
        std::string reason;
    };
    uint16_t listen = 5062;
    // (A trusted certificate for another name, {true, "10.9.1.99", "CN-mismatch"}, made no
    // TLS attempt at all in the runs seen: the second call did not reach the callee.)
    for (const Case& c : {Case{false, servers, "not-trusted"}}) {
        SCOPED_TRACE(c.reason);
        trace.Clear();
        test::Coturn relay(dir / ("turn-" + c.reason), servers, kTurnUser, kTurnPassword, "tls");
        relay.CertifyAs(c.certifiedName);
        ASSERT_TRUE(relay.Start()) << relay.Log();
        test::SipPeer peer(dir / ("peer-" + c.reason), caller, dir / "voice.wav");
        peer.UseIce();
        peer.RunInNetwork(callerNetwork);
        peer.RegisterAt(servers, "alicepw");

        const SipBackendOptions options =
            RelayedAccount(listen++, relay, c.trustTheCa ? relay.CaFile().string() : std::string());
        SipSkypeFactory factory(options);
        auto skype = Attached(factory);
        // The media library's notes say why it refused the certificate.
        LinphoneLoggingService* stackLog = linphone_logging_service_get();
        linphone_logging_service_set_log_level(stackLog, LinphoneLogLevelMessage);

        // The callee gathers its addresses, the relay's among them, when the call comes.
        peer.Call("sip:velto@" + servers, 3);
        peer.Wait(8000ms);
        linphone_logging_service_set_log_level(stackLog, LinphoneLogLevelWarning);
        std::ifstream stackFile(options.dataDir / "sip.log");
        const std::string stackNotes((std::istreambuf_iterator<char>(stackFile)),
                                     std::istreambuf_iterator<char>());
        EXPECT_TRUE(std::regex_search(
            stackNotes, std::regex("found certificate depth=\\[0\\], flags=\\[[^\\]]*" + c.reason)))
            << stackNotes;
        EXPECT_EQ(relay.Log().find("ALLOCATE processed, success"), std::string::npos)
            << relay.Log();
    }
}

// One ctest each (SipTurnRelay, SipTurnRelayTcp, SipTurnRelayTls): each has a time limit of
// its own.
INSTANTIATE_TEST_SUITE_P(Transports, SipTurnTest, ::testing::Values("udp", "tcp", "tls"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace velto::skype::sip
