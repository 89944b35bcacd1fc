// velto itself, as users run it: its SIP stack comes from the module, loaded after the
// start, and answers a real caller with the standard ring-back tone.
#include <signal.h>

#include <gtest/gtest.h>

#include "SipPeer.h"
#include "WavTone.h"
#include "support/ChildProcess.h"
#include "support/RealTimeLimit.h"
#include "support/TempDir.h"

namespace velto {
namespace {

using namespace std::chrono_literals;

// The stock standard tone: 425 Hz, one second on, four off.
constexpr double kStandardTone = 425;

TEST(SipProgram, VeltoAnswersACallerWithTheStandardToneThroughItsModule) {
    if (!test::SipPeer::Available()) {
        GTEST_SKIP() << "baresip is not installed (scripts/setup installs it)";
    }
    test::RealTimeLimit limit(60s, "velto called by a SIP peer");
    test::TempDir dir;
    const uint16_t port = test::FreeUdpPort();
    std::filesystem::create_directories(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    std::filesystem::create_directories(dir / ".config/Velto");
    test::WriteFileBytes(dir / ".config/Velto/user.reg",
                         "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                         "\"DefaultLanguage\"=dword:00000002\n\"Executed\"=dword:ffffffff\n\n"
                         "[Software\\Velto\\Sip]\n\"Identity\"=\"sip:velto@127.0.0.1\"\n"
                         "\"Listen\"=\"127.0.0.1:" +
                             std::to_string(port) + "\"\n");
    test::ChildProcess velto(
        {VELTO_PROGRAM, "--headless"},
        {"HOME=" + dir.path().string(), "XDG_RUNTIME_DIR=" + (dir / "run").string(),
         "PATH=/usr/bin:/bin",
         "LSAN_OPTIONS=suppressions=" VELTO_SOURCE_DIR "/tests/apps/sip-stack.lsan.supp"});
    ASSERT_TRUE(velto.ReadUntil("Stabled!!!")) << velto.text();
    EXPECT_NE(velto.text().find("velto-sip.so loaded in "), std::string::npos) << velto.text();

    test::WriteSine(dir / "voice.wav", 8000, 700, 10);
    test::SipPeer peer(dir / "peer", test::PeerAddress(98), dir / "voice.wav");
    peer.Call("sip:velto@127.0.0.1:" + std::to_string(port), 4);
    EXPECT_TRUE(peer.Wait(15000ms)) << peer.Log();
    const auto heard = peer.Heard();
    ASSERT_TRUE(heard) << peer.Log() << velto.text();
    EXPECT_GE(test::SecondsOf(*heard, kStandardTone), 0.7) << peer.Log();

    velto.Signal(SIGTERM);
    velto.ReadToEnd();
    EXPECT_EQ(velto.Wait(), 0) << velto.text();
}

}  // namespace
}  // namespace velto
