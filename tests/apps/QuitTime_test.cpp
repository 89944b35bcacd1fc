// How long velto-scenario takes from SIGTERM to its exit in the states where the program
// waits longest: a communication server that never answers, a download that stalls, a
// call that is ringing; and velto itself with a SIP call ringing while both cores are busy.
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

// The goal is two seconds; the sanitizers slow every thread several times over, so there
// the test only holds the program to ending soon.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr std::chrono::milliseconds kQuitLimit{8000};
#else
constexpr std::chrono::milliseconds kQuitLimit{2000};
#endif

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
        EXPECT_LT(took, kQuitLimit);
        EXPECT_NE(program.text().find("Scenario interrupted at"), std::string::npos)
            << program.text();
    }
}

// A caller on loopback UDP: sends an INVITE and waits for the ringing answer.
class RingingCaller {
  public:
    explicit RingingCaller(uint16_t port) : port_(port) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        const timeval wait{20, 0};
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait) != 0) {
            throw std::runtime_error("RingingCaller: no socket");
        }
        me_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }
    ~RingingCaller() { ::close(fd_); }
    RingingCaller(const RingingCaller&) = delete;
    RingingCaller& operator=(const RingingCaller&) = delete;

    // True once the program answers 180 or 183.
    bool Ring() {
        const std::string target = "sip:velto@127.0.0.1:" + std::to_string(port_);
        const std::string sdp =
            "v=0\r\no=- 1 1 IN IP4 127.0.0.1\r\ns=-\r\nc=IN IP4 127.0.0.1\r\nt=0 0\r\n"
            "m=audio 40000 RTP/AVP 0\r\na=rtpmap:0 PCMU/8000\r\n";
        const std::string invite =
            "INVITE " + target + " SIP/2.0\r\nVia: SIP/2.0/UDP " + me_ +
            ";branch=z9hG4bKquit\r\nMax-Forwards: 70\r\nFrom: <sip:caller@" + me_ +
            ">;tag=quit\r\nTo: <" + target + ">\r\nCall-ID: quit-ringing\r\nCSeq: 1 INVITE\r\n" +
            "Contact: <sip:caller@" + me_ + ">\r\nContent-Type: application/sdp\r\n" +
            "Content-Length: " + std::to_string(sdp.size()) + "\r\n\r\n" + sdp;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port_);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::sendto(fd_, invite.data(), invite.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return false;
            }
            const std::string answer(buffer, static_cast<size_t>(n));
            if (answer.rfind("SIP/2.0 18", 0) == 0) {
                return true;
            }
        }
    }

  private:
    uint16_t port_;
    int fd_ = -1;
    std::string me_;
};

uint16_t FreeUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

TEST(QuitTime, SigtermEndsVeltoWithinTwoSecondsWhileASipCallRingsOnBusyCores) {
    velto::test::RealTimeLimit limit(90s, "SIGTERM to exit with a SIP call ringing");
    test::TempDir dir;
    const std::string home = (dir / "home").string();
    std::filesystem::create_directories(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    const std::vector<std::string> env = {
        "PATH=/usr/bin:/bin", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
        "XDG_DATA_HOME=" + home + "/.local/share", "XDG_RUNTIME_DIR=" + (dir / "run").string()};
    const uint16_t port = FreeUdpPort();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{VELTO_ACCOUNT_PROGRAM, "set", "identity", "sip:velto@127.0.0.1"},
          std::vector<std::string>{VELTO_ACCOUNT_PROGRAM, "set", "listen",
                                   "127.0.0.1:" + std::to_string(port)}}) {
        test::ChildProcess account(args, env);
        account.ReadToEnd();
        ASSERT_EQ(account.Wait(), 0) << account.text();
    }
    // Both cores busy, as on a loaded machine.
    test::ChildProcess busy1({"/bin/bash", "-c", "while :; do :; done"}, env);
    test::ChildProcess busy2({"/bin/bash", "-c", "while :; do :; done"}, env);
    test::ChildProcess program({"/bin/sh", "-c", "exec \"$0\" --headless 2>&1", VELTO_PROGRAM},
                               env);
    ASSERT_TRUE(program.ReadUntil("SIP: listening")) << program.text();
    RingingCaller caller(port);
    ASSERT_TRUE(caller.Ring()) << program.text();
    ASSERT_TRUE(program.ReadUntil("pCall->Status")) << program.text();

    const auto sent = std::chrono::steady_clock::now();
    program.Signal(SIGTERM);
    program.ReadToEnd();
    EXPECT_EQ(program.Wait(), 0) << program.text();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - sent);
    std::printf("SIGTERM to exit with a SIP call ringing on busy cores: %lld ms\n",
                static_cast<long long>(took.count()));
    EXPECT_LT(took, kQuitLimit) << program.text();
}

}  // namespace
}  // namespace velto
