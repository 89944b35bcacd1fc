#pragma once

#include "platform/Clock.h"

namespace velto::skype::sip {

// When a failed registration is tried again: soon after the first failure (a provider's
// bad minute), then less and less often, never less often than every five minutes.
class RegistrationRetry {
  public:
    static constexpr platform::Millis kFirst{10000};
    static constexpr platform::Millis kLongest{300000};
    explicit RegistrationRetry(platform::Millis first = kFirst) : first_(first) {}

    // The wait before the next try, one failure more.
    platform::Millis Next();
    // A success (or a new account): the next failure starts over.
    void Reset() { failures_ = 0; }
    int failures() const { return failures_; }

  private:
    platform::Millis first_;
    int failures_ = 0;
};

}  // namespace velto::skype::sip
