#include "backends/sim/HeardTimeline.h"

#include <algorithm>

namespace velto::skype::sim {

namespace {

std::vector<HeardSegment> ByStart(std::vector<HeardSegment> segments) {
    std::stable_sort(
        segments.begin(), segments.end(),
        [](const HeardSegment& a, const HeardSegment& b) { return a.start < b.start; });
    return segments;
}

}  // namespace

platform::Millis LongestGap(const std::vector<HeardSegment>& segments) {
    platform::Millis longest{0};
    if (segments.empty()) {
        return longest;
    }
    auto sorted = ByStart(segments);
    platform::Millis heardUntil = sorted.front().end;
    for (const auto& segment : sorted) {
        if (segment.start > heardUntil) {
            longest = std::max(longest, segment.start - heardUntil);
        }
        heardUntil = std::max(heardUntil, segment.end);
    }
    return longest;
}

platform::Millis HeardTime(const std::vector<HeardSegment>& segments) {
    platform::Millis total{0};
    if (segments.empty()) {
        return total;
    }
    auto sorted = ByStart(segments);
    platform::Millis from = sorted.front().start;
    platform::Millis until = sorted.front().end;
    for (const auto& segment : sorted) {
        if (segment.start > until) {
            total += until - from;
            from = segment.start;
        }
        until = std::max(until, segment.end);
    }
    return total + (until - from);
}

}  // namespace velto::skype::sim
