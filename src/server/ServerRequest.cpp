#include "server/ServerRequest.h"

#include <algorithm>

namespace velto::server {

std::shared_ptr<ServerRequest> ServerRequest::Create(platform::Clock& clock,
                                                     std::span<const uint8_t> payload) {
    if (payload.empty() || payload.size() > kMaxPayload) {
        return nullptr;
    }
    auto request = std::make_shared<ServerRequest>(clock);
    std::copy(payload.begin(), payload.end(), request->buffer_.begin());
    request->length_ = static_cast<int32_t>(payload.size());
    return request;
}

ServerRequest::Outcome ServerRequest::OutcomeLocked() const {
    return state_ == State::Answered ? Outcome::Answered : Outcome::Failed;
}

ServerRequest::Outcome ServerRequest::WaitFor(platform::Millis timeout) {
    std::unique_lock lock(mutex_);
    if (done_.WaitFor(lock, timeout, [this] { return state_ != State::Pending; })) {
        return OutcomeLocked();
    }
    // Decided under the lock, so the link either completed first or sees the mark.
    abandoned_ = true;
    return Outcome::TimedOut;
}

ServerRequest::Outcome ServerRequest::Wait() {
    std::unique_lock lock(mutex_);
    done_.Wait(lock, [this] { return state_ != State::Pending; });
    return OutcomeLocked();
}

void ServerRequest::Abandon() {
    abandoned_ = true;
}

bool ServerRequest::completed() const {
    std::lock_guard guard(mutex_);
    return state_ != State::Pending;
}

void ServerRequest::Complete(bool answered) {
    std::lock_guard guard(mutex_);
    state_ = answered ? State::Answered : State::Failed;
    done_.NotifyAll();
}

}  // namespace velto::server
