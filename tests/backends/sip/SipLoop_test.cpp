// The SIP thread against a plain UDP socket standing in for the stack's: each turn takes
// one datagram, as the stack does. The idle interval is an hour, so only the socket can
// wake the thread.
#include "backends/sip/SipLoop.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Trace.h"
#include "support/RealTimeLimit.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;

int BoundUdp(uint16_t& port) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), size), 0);
    EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
    port = ntohs(address.sin_port);
    return fd;
}

TEST(SipLoopTest, DatagramsWakeTheLoopAreAllTakenAndAnOversizedOneIsDroppedUnread) {
    test::RealTimeLimit limit(20s, "SipLoop socket wake");
    platform::TraceCapture trace;
    platform::RealClock clock;
    uint16_t port = 0;
    uint16_t senderPort = 0;
    const int stack = BoundUdp(port);
    const int sender = BoundUdp(senderPort);
    std::mutex mutex;
    platform::ClockCondition changed(clock);
    std::vector<size_t> taken;
    SipLoop loop(
        clock,
        [&] {
            std::vector<char> buffer(70000);
            const ssize_t n = recv(stack, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n >= 0) {
                std::lock_guard guard(mutex);
                taken.push_back(static_cast<size_t>(n));
                changed.NotifyAll();
            }
        },
        [] { return platform::Millis(3'600'000); }, [&] { return stack; });
    loop.Start();

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    auto send = [&](size_t size) {
        const std::string data(size, 'x');
        sendto(sender, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    };
    // The largest datagram let through (32 KiB), one just over it, and a burst behind them.
    send(32768);
    send(32769);
    for (int n = 0; n < 100; ++n) {
        send(100);
    }
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(changed.WaitFor(lock, 10s, [&] { return taken.size() == 101; }))
            << taken.size() << " taken";
        EXPECT_EQ(std::count(taken.begin(), taken.end(), 32768u), 1);
        EXPECT_EQ(std::count(taken.begin(), taken.end(), 32769u), 0);
    }
    EXPECT_NE(trace.Text().find("SIP: dropped a message of 32769 bytes from 127.0.0.1:" +
                                std::to_string(senderPort)),
              std::string::npos)
        << trace.Text();
    loop.Stop();
    close(sender);
    close(stack);
}

}  // namespace
}  // namespace velto::skype::sip
