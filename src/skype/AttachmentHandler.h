#pragma once

#include <cstdint>

#include "callapi/Skype.h"
#include "skype/ApplicationChannel.h"
#include "skype/AttachmentStabiliser.h"
#include "skype/SkypeContext.h"

namespace velto::skype {

inline constexpr const char* kVersionCaption = "Velto Skype Plugin";

// Reacts to each change of the attachment state (event 4) on the main thread: on a grant
// it loads the signed-in user's settings, starts the services that need Skype, prepares
// the application channel and starts a stabiliser; on the other states it keeps the
// flags, tells the main window, and asks Skype to attach again where that can help.
class AttachmentHandler {
  public:
    AttachmentHandler(const SkypeContext& context, Skype& skype, ApplicationChannel& channel,
                      StabiliserGate& gate)
        : context_(context), skype_(skype), channel_(channel), gate_(gate) {}

    // May throw core::ProcessExit (Skype too old; a fatal settings error).
    void OnAttachmentStatus(int32_t status);

  private:
    void Granted();
    void PendingAuthorization();
    void Refused();
    void NotAvailable();
    void Available();
    void CheckVersion();
    void AttachAgain();
    void PostRefreshTexts();

    const SkypeContext& context_;
    Skype& skype_;
    ApplicationChannel& channel_;
    StabiliserGate& gate_;
};

}  // namespace velto::skype
