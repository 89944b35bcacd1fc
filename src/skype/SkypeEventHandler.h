#pragma once

#include <memory>

#include "callapi/Event.h"
#include "callapi/Skype.h"
#include "skype/ApplicationChannel.h"
#include "skype/AttachmentHandler.h"
#include "skype/CallStatusHandler.h"
#include "skype/EventGuard.h"
#include "skype/SkypeContext.h"

namespace velto::skype {

// The sink (identifier 1) of Skype's events for the attachment, contacts' online status
// and calls. It holds its own reference to the Skype object, subscribes when made and
// unsubscribes when destroyed.
class SkypeEventHandler final : public EventSink {
  public:
    static constexpr int32_t kSinkId = 1;

    SkypeEventHandler(const SkypeContext& context, std::shared_ptr<Skype> skype,
                      ApplicationChannel& channel, StabiliserGate& gate, EventGuard& guard);
    ~SkypeEventHandler() override;
    SkypeEventHandler(const SkypeEventHandler&) = delete;
    SkypeEventHandler& operator=(const SkypeEventHandler&) = delete;

    int32_t SinkId() const override { return kSinkId; }
    void OnEvent(const Event& event) override;

  private:
    void OnOnlineStatus(User& user);

    const SkypeContext& context_;
    std::shared_ptr<Skype> skype_;
    EventGuard& guard_;
    AttachmentHandler attachment_;
    CallStatusHandler calls_;
    bool advised_ = false;
};

}  // namespace velto::skype
