#pragma once

#include "callapi/Numbering.h"

namespace velto::calls {

// True for every status after which the call carries nothing any more (finished, failed,
// missed, refused, busy, cancelled, transferred). Every wait for the end of a call ends on
// these, not only on "finished".
inline bool IsCallOver(skype::CallStatus status) {
    switch (status) {
        case skype::CallStatus::Failed:
        case skype::CallStatus::Finished:
        case skype::CallStatus::Missed:
        case skype::CallStatus::Refused:
        case skype::CallStatus::Busy:
        case skype::CallStatus::Cancelled:
        case skype::CallStatus::Transferred:
            return true;
        default:
            return false;
    }
}

}  // namespace velto::calls
