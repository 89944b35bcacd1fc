#pragma once

#include <mutex>
#include <vector>

#include "core/SharedState.h"
#include "platform/Clock.h"
#include "platform/InterfaceTable.h"
#include "platform/WindowManager.h"
#include "platform/Workers.h"

namespace velto::server {

// Gathers the bursts of contact status notifications (dozens at once after sign-in) and
// turns each burst into one single-contact update or one full refresh of the contact
// list, so that the list is not redrawn once per contact.
class UpdatingListThread {
  public:
    // A burst ends when no notification has arrived for this long,
    static constexpr platform::Millis kQuietPeriod{500};
    // or at the latest this long after it began: in a large list someone always changes
    // status, and a burst that never ends would never reach the list.
    static constexpr platform::Millis kBurstCap{3000};

    // Starts the gathering worker.
    UpdatingListThread(platform::Clock& clock, platform::Workers& workers,
                       platform::WindowManager& windows, platform::InterfaceTable& table,
                       core::SharedState& state);
    // Stops the worker and waits for it; cookies still pending are revoked.
    ~UpdatingListThread();
    UpdatingListThread(const UpdatingListThread&) = delete;
    UpdatingListThread& operator=(const UpdatingListThread&) = delete;

    void Add(platform::Cookie contact);
    size_t PendingCount() const;
    std::vector<platform::Cookie> TakeAll();

  private:
    void Run();
    void Deliver(const std::vector<platform::Cookie>& contacts);

    platform::WindowManager& windows_;
    platform::InterfaceTable& table_;
    core::SharedState& state_;

    mutable std::mutex mutex_;
    platform::ClockCondition changed_;
    std::vector<platform::Cookie> pending_;
    bool stop_ = false;
    bool ended_ = false;
};

}  // namespace velto::server
