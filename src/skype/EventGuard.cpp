#include "skype/EventGuard.h"

#include "callapi/AutomationError.h"
#include "core/ProcessExit.h"
#include "platform/Trace.h"

namespace velto::skype {

void EventGuard::Run(const Event& event, const char* sinkName,
                     const std::function<void()>& handler) {
    if (ending_) {
        return;
    }
    try {
        handler();
    } catch (const core::ProcessExit& exit) {
        ending_ = true;
        platform::Trace("%s: event %d ends the process (exit code %d)\n", sinkName,
                        static_cast<int>(event.id), exit.code());
        if (endProcess_) {
            endProcess_(exit.code());
        }
    } catch (const AutomationError& error) {
        platform::Trace("%s: event %d: Skype error %u(%x): %s\n", sinkName,
                        static_cast<int>(event.id), error.unsignedCode(), error.unsignedCode(),
                        error.what());
    }
}

}  // namespace velto::skype
