#pragma once

#include <atomic>
#include <functional>
#include <istream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velto::devserver {

// One partner tone that a user owns, as the catalogue file lists it.
struct OwnedTone {
    std::string key;
    std::string remoteName;
    std::string prefix;  // empty: the development server's own /tones/ address
    std::string title;
    std::string extra;
};
using ToneCatalogue = std::map<std::string, std::vector<OwnedTone>>;  // by user handle

// The catalogue file: one tone per line, fields separated by tabs:
//   handle key remote-name title [extra [address-prefix]]
// Empty lines and lines starting with "#" are skipped. False with `error` (naming the
// line) on a malformed line.
bool ReadToneCatalogue(std::istream& in, ToneCatalogue& catalogue, std::string& error);

// The development server's message side: length-framed requests on TCP, each answered with
// exactly one frame. The partner tone query gets the user's list from the catalogue; the
// reports and anything else get a one-byte answer and a log line.
class DevFrameServer {
  public:
    static constexpr size_t kRequestLimit = 1024;
    static constexpr size_t kAnswerLimit = 8192;

    DevFrameServer(ToneCatalogue catalogue, std::string defaultPrefix);
    ~DevFrameServer();
    DevFrameServer(const DevFrameServer&) = delete;
    DevFrameServer& operator=(const DevFrameServer&) = delete;

    bool Start(const std::string& host, int port);  // 0 picks a free port
    void Stop();
    int port() const { return port_; }

    // Wall-time delay before every answer (fault injection).
    std::atomic<int> lateMs{0};
    // Log lines, also written to standard output when `echo` is on.
    std::vector<std::string> log() const;
    std::atomic<bool> echo{false};

    // The answer to one request payload (exposed for tests).
    std::string Answer(const std::string& request);

  private:
    void AcceptLoop();
    void Serve(int fd);
    void Log(std::string line);

    ToneCatalogue catalogue_;
    std::string defaultPrefix_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::vector<int> openFds_;
    std::vector<std::string> log_;
};

}  // namespace velto::devserver
