#include "callapi/EventPosting.h"

#include <algorithm>

#include "platform/Trace.h"

namespace velto::skype {

bool EventClient::Advise(EventSink& sink) {
    std::lock_guard guard(mutex_);
    if (std::find(sinks_.begin(), sinks_.end(), &sink) == sinks_.end()) {
        sinks_.push_back(&sink);
    }
    return true;
}

void EventClient::Unadvise(EventSink& sink) {
    std::lock_guard guard(mutex_);
    std::erase(sinks_, &sink);
}

bool EventClient::IsAdvised(EventSink* sink) const {
    std::lock_guard guard(mutex_);
    return std::find(sinks_.begin(), sinks_.end(), sink) != sinks_.end();
}

void EventClient::Deliver(const Event& event) {
    std::vector<EventSink*> sinks;
    {
        std::lock_guard guard(mutex_);
        sinks = sinks_;
    }
    for (EventSink* sink : sinks) {
        if (!IsAdvised(sink)) {
            continue;  // unsubscribed by an earlier sink of this event
        }
        try {
            sink->OnEvent(event);
        } catch (const std::exception& e) {
            platform::Trace("Skype event %d: sink %d failed: %s\n", static_cast<int>(event.id),
                            sink->SinkId(), e.what());
        }
    }
}

}  // namespace velto::skype
