#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velto::server {

// What the first-run report says about the machine, in the report's underscore form
// "PLATFORM_MAJOR_MINOR_BUILD_EXTRA":
//   PLATFORM  kLinuxPlatformId (the Windows identifiers 0 to 3 name Windows families)
//   MAJOR, MINOR, BUILD  the first three numbers of the kernel release (uname -r);
//                        "6.1.0-18-amd64" gives 6, 1, 0; a missing number is 0
//   EXTRA     the distribution's PRETTY_NAME from os-release (else NAME and VERSION),
//             cut to 127 bytes; empty when there is none
inline constexpr int kLinuxPlatformId = 4;
inline constexpr size_t kSystemExtraLimit = 127;

// Empty when the kernel release does not start with a version number.
std::optional<std::string> DescribeSystem(std::string_view kernelRelease,
                                          std::string_view osRelease);
// The same for the running system (uname and /etc/os-release or /usr/lib/os-release).
std::optional<std::string> DescribeThisSystem();

// The Windows language identifier (LANGID) for a POSIX locale name such as
// "de_AT.UTF-8@euro": language and territory when both are known, else the language
// with its default sub-language; en-US (1033) for "C", "POSIX", empty or unknown names.
uint16_t LanguageIdFromLocale(std::string_view locale);
// From the user's locale settings (LC_ALL, then LC_MESSAGES, then LANG).
uint16_t UserDefaultLanguageId();

}  // namespace velto::server
