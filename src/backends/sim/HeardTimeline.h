#pragma once

#include <string>
#include <vector>

#include "platform/Clock.h"

namespace velto::skype::sim {

// A stretch of a call during which the caller heard one file played as the call's input.
struct HeardSegment {
    std::string file;
    platform::Millis start{0};
    platform::Millis end{0};
};

// The longest silence between the start of the first segment and the end of the last one
// (overlaps count as no silence); 0 for fewer than two segments.
platform::Millis LongestGap(const std::vector<HeardSegment>& segments);

// Total time during which something was heard.
platform::Millis HeardTime(const std::vector<HeardSegment>& segments);

}  // namespace velto::skype::sim
