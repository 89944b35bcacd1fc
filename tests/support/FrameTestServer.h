#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "support/RealTimeLimit.h"

namespace velto::test {

// A communication server on 127.0.0.1 (free port) for tests: reads length-framed requests
// (4-byte big-endian length, then the payload) and answers each as scripted. It stands in
// for a remote machine, so its one thread is a plain thread outside the program's clock.
// A request header that announces more than any request can hold (a length in the wrong
// byte order, say) stops the test at once, and so does a server alive after 30 s of real
// time: either would otherwise leave the program waiting for an answer until the test
// runner's time-out.
class FrameTestServer {
  public:
    enum class Behaviour {
        Answer,              // send the reply frame
        AnswerThenClose,     // send it, then close the connection
        CloseWithoutAnswer,  // close at once
        ResetMidFrame,       // send the header and half the payload, then reset
        OversizedLength,     // announce `announcedLength` bytes, send a few, keep open
        NeverAnswer,         // keep the connection open and silent
    };
    struct Reply {
        Behaviour behaviour = Behaviour::Answer;
        std::optional<std::vector<uint8_t>> payload{};  // none: echo the request
        std::chrono::milliseconds delay{0};             // real time before acting
        uint32_t announcedLength = 8193;
    };

    // Binds a free port; `listen` false leaves it bound but refusing connections until
    // Listen (a server that is down, then comes up).
    explicit FrameTestServer(bool listen = true);
    ~FrameTestServer();
    FrameTestServer(const FrameTestServer&) = delete;
    FrameTestServer& operator=(const FrameTestServer&) = delete;

    uint16_t port() const { return port_; }
    void Listen();
    void Stop();
    // Stops serving and closes the port for good: the server is down again (connections
    // are refused).
    void GoDown();

    // Replies are used in order, one per request; when none is left the default is used.
    void Script(Reply reply);
    void SetDefault(Reply reply);

    std::vector<std::vector<uint8_t>> Requests() const;
    size_t RequestCount() const;
    int Connections() const;
    // For the test's own safety only (never to wait for the program's work): waits up to
    // `limit` of real time until `count` requests have arrived.
    bool WaitForRequests(size_t count, std::chrono::milliseconds limit) const;

  private:
    void Run();
    void Serve(int client);
    bool WaitReadable(int fd) const;  // false when stopping
    // Answers `request` on `client` as `reply` says; false when the connection is done.
    bool Act(int client, const Reply& reply, const std::vector<uint8_t>& request);
    Reply NextReply();

    RealTimeLimit limit_{std::chrono::seconds(30), "FrameTestServer"};
    int listenFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    uint16_t port_ = 0;
    std::thread thread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::deque<Reply> script_;
    Reply default_;
    std::vector<std::vector<uint8_t>> requests_;
    int connections_ = 0;
};

}  // namespace velto::test
