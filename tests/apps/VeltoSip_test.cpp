// velto and its SIP backend module as real processes: the SIP stack comes into the process
// only when calls go through SIP, after the window; a missing or broken module leaves the
// program running without calls.
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "support/ChildProcess.h"
#include "support/RealTimeLimit.h"
#include "support/TempDir.h"

namespace velto {
namespace {

using Process = test::ChildProcess;
namespace fs = std::filesystem;

// A UDP port on loopback that is free now.
int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool SipStackIn(pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("liblinphone") != std::string::npos) {
            return true;
        }
    }
    return false;
}

class VeltoSip : public ::testing::Test {
  protected:
    VeltoSip() {
        fs::create_directories(home_ / "run");
        fs::permissions(home_ / "run", fs::perms::owner_all);
    }
    std::vector<std::string> Env() const {
        return {"HOME=" + home_.path().string(), "XDG_RUNTIME_DIR=" + (home_ / "run").string(),
                "PATH=/usr/bin:/bin",
                "LSAN_OPTIONS=suppressions=" VELTO_SOURCE_DIR "/tests/apps/sip-stack.lsan.supp"};
    }
    // A SIP identity on loopback, as velto-account writes it.
    void WriteAccount(int port) {
        fs::create_directories(home_ / ".config/Velto");
        test::WriteFileBytes(home_ / ".config/Velto/user.reg",
                             "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                             "\"Executed\"=dword:ffffffff\n\n[Software\\Velto\\Sip]\n"
                             "\"Identity\"=\"sip:alice@127.0.0.1\"\n"
                             "\"Listen\"=\"127.0.0.1:" +
                                 std::to_string(port) + "\"\n");
    }
    // The program copied into a folder of its own, without the module beside it.
    fs::path LoneProgram() {
        fs::create_directories(install_ / "bin");
        fs::create_directories(install_ / "share/velto");
        const fs::path built(VELTO_PROGRAM);
        fs::copy_file(built, install_ / "bin/velto");
        fs::copy_file(built.parent_path() / "../share/velto/machine.reg",
                      install_ / "share/velto/machine.reg");
        return install_ / "bin/velto";
    }
    static void EndsInOrder(Process& velto) {
        velto.Signal(SIGTERM);
        velto.ReadToEnd();
        EXPECT_EQ(velto.Wait(), 0) << velto.text();
        EXPECT_NE(velto.text().find("velto: message loop ended"), std::string::npos);
    }

    test::RealTimeLimit limit_{std::chrono::seconds(60), "velto with its SIP module"};
    test::TempDir home_;
    test::TempDir install_;
};

TEST_F(VeltoSip, WithoutAnAccountTheSipStackStaysOut) {
    Process velto({VELTO_PROGRAM, "--headless"}, Env());
    ASSERT_TRUE(velto.ReadUntil("velto: running\n")) << velto.text();
    EXPECT_NE(velto.text().find("velto: no call backend\n"), std::string::npos);
    EXPECT_FALSE(SipStackIn(velto.pid()));
    EndsInOrder(velto);
}

TEST_F(VeltoSip, WithAnAccountTheStackLoadsAfterTheWindowAndAttaches) {
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    WriteAccount(port);
    Process velto({VELTO_PROGRAM, "--headless", "--backend", "sip"}, Env());
    ASSERT_TRUE(velto.ReadUntil("SIP: listening on 127.0.0.1:" + std::to_string(port)))
        << velto.text();
    ASSERT_TRUE(velto.ReadUntil("API connected\n")) << velto.text();
    EXPECT_TRUE(SipStackIn(velto.pid()));
    const std::string& text = velto.text();
    const size_t shown = text.find("MainWindow: shown");
    const size_t loaded = text.find("SIP module: ");
    ASSERT_NE(loaded, std::string::npos) << text;
    EXPECT_LT(shown, loaded) << text;
    EXPECT_NE(text.find("velto-sip.so loaded in ", loaded), std::string::npos) << text;
    EndsInOrder(velto);
}

TEST_F(VeltoSip, WithoutTheModuleTheProgramRunsWithoutCalls) {
    const fs::path program = LoneProgram();
    Process velto({program.string(), "--headless", "--backend", "sip"}, Env());
    ASSERT_TRUE(velto.ReadUntil("velto: running\n")) << velto.text();
    EXPECT_NE(
        velto.text().find("velto: no SIP module at " +
                          (install_ / "lib/velto/velto-sip.so").string() + ": no call backend\n"),
        std::string::npos)
        << velto.text();
    EXPECT_FALSE(SipStackIn(velto.pid()));
    EndsInOrder(velto);
}

TEST_F(VeltoSip, ABrokenModuleIsRefusedAndTheProgramRunsWithoutCalls) {
    const fs::path program = LoneProgram();
    fs::create_directories(install_ / "lib/velto");
    test::WriteFileBytes(install_ / "lib/velto/velto-sip.so", "not a module\n");
    Process velto({program.string(), "--headless", "--backend", "sip"}, Env());
    ASSERT_TRUE(velto.ReadUntil("API not available\n")) << velto.text();
    EXPECT_NE(velto.text().find("SIP module: cannot load it: " +
                                (install_ / "lib/velto/velto-sip.so").string()),
              std::string::npos)
        << velto.text();
    EXPECT_NE(velto.text().find("Skype object: no call backend behind it: not available\n"),
              std::string::npos);
    EXPECT_FALSE(SipStackIn(velto.pid()));
    EndsInOrder(velto);
}

}  // namespace
}  // namespace velto
