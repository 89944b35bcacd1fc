#pragma once

#include <cstdint>
#include <memory>

#include "callapi/Call.h"
#include "skype/SkypeContext.h"

namespace velto::skype {

// Hands each new call to its own call handler (event 8), on the main thread. Calls from
// the telephone network, calls of unknown type, calls that are already over and calls
// that already have a handler get none.
class CallStatusHandler {
  public:
    explicit CallStatusHandler(const SkypeContext& context) : context_(context) {}

    void OnCallStatus(Call& call, int32_t status);

  private:
    const SkypeContext& context_;
};

}  // namespace velto::skype
