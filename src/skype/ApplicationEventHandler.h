#pragma once

#include <memory>

#include "callapi/Event.h"
#include "callapi/Skype.h"
#include "skype/ApplicationChannel.h"
#include "skype/EventGuard.h"

namespace velto::skype {

// The second sink (identifier 222) on Skype's events: only the application-to-application
// events, handed to the application channel. Subscribes when made, unsubscribes when
// destroyed.
class ApplicationEventHandler final : public EventSink {
  public:
    static constexpr int32_t kSinkId = 222;

    ApplicationEventHandler(std::shared_ptr<Skype> skype, ApplicationChannel& channel,
                            EventGuard& guard);
    ~ApplicationEventHandler() override;
    ApplicationEventHandler(const ApplicationEventHandler&) = delete;
    ApplicationEventHandler& operator=(const ApplicationEventHandler&) = delete;

    int32_t SinkId() const override { return kSinkId; }
    void OnEvent(const Event& event) override;

  private:
    std::shared_ptr<Skype> skype_;
    ApplicationChannel& channel_;
    EventGuard& guard_;
    bool advised_ = false;
};

}  // namespace velto::skype
