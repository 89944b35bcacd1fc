#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "platform/Clock.h"

namespace velto::server {

// One request to the communication server and, once completed, its answer.
//
// Records are shared between the requester and the link: whichever of them lets go last
// frees the record, so a requester that stops waiting (abandons) can simply drop it.
class ServerRequest {
  public:
    static constexpr size_t kBufferSize = 8192;  // largest answer accepted
    static constexpr size_t kMaxPayload = 1024;  // largest request accepted

    enum class Outcome {
        Answered,  // the answer is in Answer()
        Failed,    // the link gave up on it (unusable answer, or the link stopped)
        TimedOut,  // the wait ran out; the request is now abandoned
    };

    // Null when the payload is empty or longer than kMaxPayload.
    static std::shared_ptr<ServerRequest> Create(platform::Clock& clock,
                                                 std::span<const uint8_t> payload);

    explicit ServerRequest(platform::Clock& clock) : done_(clock) {}
    ServerRequest(const ServerRequest&) = delete;
    ServerRequest& operator=(const ServerRequest&) = delete;

    // Requester side. A wait that runs out marks the request abandoned.
    Outcome WaitFor(platform::Millis timeout);
    Outcome Wait();
    void Abandon();
    bool abandoned() const { return abandoned_.load(); }
    bool completed() const;
    // The answer payload; only meaningful after Answered.
    std::span<const uint8_t> Answer() const {
        return {buffer_.data(), static_cast<size_t>(length_)};
    }

    // Link side: the buffer holds the payload before the exchange and the answer after it.
    std::span<const uint8_t> Payload() const { return Answer(); }
    uint8_t* buffer() { return buffer_.data(); }
    int32_t length() const { return length_; }
    void set_length(int32_t length) { length_ = length; }
    void Complete(bool answered);

  private:
    Outcome OutcomeLocked() const;

    std::array<uint8_t, kBufferSize> buffer_{};
    int32_t length_ = 0;
    std::atomic<bool> abandoned_{false};

    enum class State { Pending, Answered, Failed };
    mutable std::mutex mutex_;
    platform::ClockCondition done_;
    State state_ = State::Pending;
};

}  // namespace velto::server
