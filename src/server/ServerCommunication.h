#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "platform/Clock.h"
#include "platform/Workers.h"
#include "server/ServerAddress.h"
#include "server/ServerRequest.h"

namespace velto::server {

// The one link to the communication server. Any thread pushes requests; one worker sends
// them in order over a single connection that it opens on demand and closes after the
// idle time, and completes each with its answer.
class ServerCommunication {
  public:
    // Starts the worker (not connected yet).
    ServerCommunication(platform::Clock& clock, platform::Workers& workers,
                        LinkSettings settings = {});
    // Stops the worker and waits for it to end.
    ~ServerCommunication();
    ServerCommunication(const ServerCommunication&) = delete;
    ServerCommunication& operator=(const ServerCommunication&) = delete;

    // Appends a request at the tail. Refuses (false) a null request or one whose payload
    // is empty or longer than ServerRequest::kMaxPayload, and everything once stopped.
    bool Push(std::shared_ptr<ServerRequest> request);
    size_t Count() const;
    // The oldest request, or null when there is none.
    std::shared_ptr<ServerRequest> Pop();

    // Requester's convenience: sends `payload` and waits (without limit when `timeout` is
    // empty). Answered carries the answer; any other outcome carries nothing.
    struct Reply {
        ServerRequest::Outcome outcome = ServerRequest::Outcome::Failed;
        std::vector<uint8_t> answer;
    };
    Reply Exchange(std::span<const uint8_t> payload,
                   std::optional<platform::Millis> timeout = std::nullopt);

    // Ends the worker: queued requests complete as failed, an exchange under way is cut.
    void Stop();

    struct Stats {
        int connects = 0;
        int connectFailures = 0;
        int exchanges = 0;        // completed with an answer
        int failedExchanges = 0;  // requeued after a broken connection
        int oversized = 0;        // answers too long for the buffer
        int droppedUnsent = 0;    // abandoned before they were sent
        int idleCloses = 0;
    };
    Stats stats() const;
    const LinkSettings& settings() const { return settings_; }

  private:
    enum class ExchangeResult { Answered, Broken, TooLong };

    void Run();
    void WaitForWork();
    bool Connect();
    void CloseConnection();
    ExchangeResult ExchangeOne(ServerRequest& request);
    long ReceiveSome(int fd, uint8_t* data, size_t size);
    void DropAbandonedLocked();
    void FailAllQueued();
    void CountStat(int Stats::*field);

    platform::Clock& clock_;
    const LinkSettings settings_;

    mutable std::mutex mutex_;  // the queue, the stop flag and the worker's end
    platform::ClockCondition changed_;
    std::deque<std::shared_ptr<ServerRequest>> queue_;
    bool stop_ = false;
    bool ended_ = false;
    Stats stats_;

    std::mutex socketMutex_;            // so Stop can cut a blocked read safely
    int fd_ = -1;                       // written by the worker under socketMutex_
    bool connected_ = false;            // worker only
    platform::Millis lastActivity_{0};  // worker only
    platform::Millis nextRetryPause_;   // worker only
    std::array<uint8_t, ServerRequest::kBufferSize> answer_{};  // worker only
};

}  // namespace velto::server
