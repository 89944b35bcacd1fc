#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/Clock.h"
#include "platform/Workers.h"
#include "server/ServerCommunication.h"

namespace velto::server {

// Holds the program's one server link, created on first use even when several threads
// ask at the same moment. The composition root owns this object and passes it on.
class ServerCommunicationInstance {
  public:
    ServerCommunicationInstance(platform::Clock& clock, platform::Workers& workers,
                                LinkSettings settings = {})
        : clock_(clock), workers_(workers), settings_(std::move(settings)) {}
    ServerCommunicationInstance(const ServerCommunicationInstance&) = delete;
    ServerCommunicationInstance& operator=(const ServerCommunicationInstance&) = delete;

    // The link, created (and its worker started) by the first call.
    ServerCommunication& Instance() {
        std::call_once(once_, [this] {
            link_ = std::make_unique<ServerCommunication>(clock_, workers_, settings_);
            created_ = link_.get();
        });
        return *link_;
    }
    // Where the link goes (the web panels take the host from here).
    const LinkSettings& settings() const { return settings_; }
    // The link if it exists already, else null.
    ServerCommunication* IfCreated() const { return created_.load(); }

  private:
    platform::Clock& clock_;
    platform::Workers& workers_;
    const LinkSettings settings_;
    std::once_flag once_;
    std::unique_ptr<ServerCommunication> link_;
    std::atomic<ServerCommunication*> created_{nullptr};
};

}  // namespace velto::server
