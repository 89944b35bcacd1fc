#pragma once

#include <string_view>

namespace velto::skype {

// The oldest Skype major version the program works with.
inline constexpr int kOldestSkypeMajor = 3;

// True when Skype's version text names a major version below 3. The major version is the
// number before the first dot, so "10.2" is new enough although its first digit is 1. A
// text that does not begin with a digit tells nothing and counts as new enough.
bool IsSkypeTooOld(std::string_view version);

}  // namespace velto::skype
