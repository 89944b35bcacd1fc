#pragma once

#include <cstdint>
#include <memory>

#include "callapi/ApplicationStream.h"

namespace velto::skype {

// A snapshot list of streams, taken when the collection was obtained.
class ApplicationStreamCollection {
  public:
    virtual ~ApplicationStreamCollection() = default;

    virtual int32_t Count() = 0;
    // 1-based; an index outside 1..Count() raises AutomationError (kBadIndex).
    virtual std::shared_ptr<ApplicationStream> Item(int32_t index) = 0;
};

}  // namespace velto::skype
