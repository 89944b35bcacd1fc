#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velto::platform {

// The one rule for text from outside (a Skype handle, a tone key, a remote file name) that
// is to become one component of a local path: not empty, not "." or "..", at most
// kMaxPathComponentBytes bytes, valid UTF-8, no path separator ("/" or "\"), no control
// character. Anything else could leave the folder it is put in, or name a file no other
// tool can handle. On refusal `reason` (when given) says why.
constexpr size_t kMaxPathComponentBytes = 200;
bool IsSafePathComponent(std::string_view name, std::string* reason = nullptr);

}  // namespace velto::platform
