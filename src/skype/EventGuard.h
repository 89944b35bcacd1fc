#pragma once

#include <functional>

#include "callapi/Event.h"

namespace velto::skype {

// Runs the handler of one Skype event on the main thread. A failed Skype operation is
// traced and ends that event's flow only. A request to end the process (core::ProcessExit,
// from the version check or a fatal settings error) is handed to `endProcess`, because
// the event delivery would not pass it on; from then on every event is dropped.
class EventGuard {
  public:
    explicit EventGuard(std::function<void(int exitCode)> endProcess)
        : endProcess_(std::move(endProcess)) {}

    void Run(const Event& event, const char* sinkName, const std::function<void()>& handler);
    bool ending() const { return ending_; }

  private:
    std::function<void(int)> endProcess_;
    bool ending_ = false;
};

}  // namespace velto::skype
