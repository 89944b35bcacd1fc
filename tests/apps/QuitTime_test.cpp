// How long velto-scenario takes from SIGTERM to its exit in the states where the program
// waits longest: a communication server that never answers, a download that stalls, a
// call that is ringing.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "support/ChildProcess.h"
#include "support/RealTimeLimit.h"
#include "support/TempDir.h"

namespace velto {
namespace {

using namespace std::chrono_literals;

// Accepts connections and never sends a byte: a communication server that never answers,
// or a web server whose transfer stalls.
class SilentServer {
  public:
    SilentServer() {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(listenFd_, 8) != 0 ||
            ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            throw std::runtime_error("SilentServer: cannot listen");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] {
            for (;;) {
                const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
                if (client < 0) {
                    return;
                }
                std::lock_guard guard(mutex_);
                clients_.push_back(client);
            }
        });
    }
    ~SilentServer() {
        ::shutdown(listenFd_, SHUT_RDWR);
        thread_.join();
        ::close(listenFd_);
        for (const int client : clients_) {
            ::close(client);
        }
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    uint16_t port() const { return port_; }

  private:
    int listenFd_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<int> clients_;
};

struct QuitCase {
    std::string name;
    std::string scenario;
    // Trace lines that show the program is in the state to be measured.
    std::vector<std::string> reached;
};

TEST(QuitTime, SigtermEndsTheProgramWithinTwoSecondsWhileItWaitsLongest) {
    velto::test::RealTimeLimit limit(120s, "SIGTERM to exit");
    SilentServer silent;
    test::TempDir dir;
    const std::string port = std::to_string(silent.port());
    std::filesystem::create_directories(dir / "tones");
    test::WriteFileBytes(dir / "catalogue.txt",
                         "velto.user\tstall.wav\tstall.wav\tStalled\t\t"
                         "http://127.0.0.1:" +
                             port + "/\n");
    const std::string people =
        "language 1\nuser velto.user \"Vera Velto\" Vera\n"
        "contact alice \"Alice Archer\" Alice\nvoicemail on\n";
    const std::string ringing = "wait 1s\ncall r1 from alice\nwait 10m\n";
    const std::vector<QuitCase> cases = {
        {"a server that never answers and a ringing call",
         people + "server 127.0.0.1 " + port + "\n" + ringing,
         {"Asking server...", "pCall->Status"}},
        {"a stalled download and a ringing call",
         people + "devserver catalogue.txt tones\n" + ringing,
         {"http://127.0.0.1:" + port + "/stall.wav", "pCall->Status"}},
    };
    for (const QuitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir / "quit.scn";
        test::WriteFileBytes(file, c.scenario);
        std::filesystem::remove_all(dir / "data");
        std::filesystem::create_directories(dir / "data");
        test::ChildProcess program({VELTO_SCENARIO_PROGRAM, "--real-time", "--trace", "--data",
                                    (dir / "data").string(), file.string()},
                                   {"PATH=/usr/bin:/bin", "HOME=" + (dir / "data").string()});
        for (const std::string& line : c.reached) {
            ASSERT_TRUE(program.ReadUntil(line)) << program.text();
        }
        const auto sent = std::chrono::steady_clock::now();
        program.Signal(SIGTERM);
        program.ReadToEnd();
        EXPECT_EQ(program.Wait(), 0) << program.text();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - sent);
        std::printf("SIGTERM to exit with %s: %lld ms\n", c.name.c_str(),
                    static_cast<long long>(took.count()));
        EXPECT_LT(took, 2s);
        EXPECT_NE(program.text().find("Scenario interrupted at"), std::string::npos)
            << program.text();
    }
}

}  // namespace
}  // namespace velto
