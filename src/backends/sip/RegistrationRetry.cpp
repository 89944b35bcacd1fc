#include "backends/sip/RegistrationRetry.h"

#include <algorithm>

namespace velto::skype::sip {

platform::Millis RegistrationRetry::Next() {
    platform::Millis wait = first_;
    for (int i = 0; i < failures_ && wait < kLongest; ++i) {
        wait *= 2;
    }
    ++failures_;
    return std::min(wait, kLongest);
}

}  // namespace velto::skype::sip
