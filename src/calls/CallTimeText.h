#pragma once

#include <filesystem>
#include <string>

#include "platform/Clock.h"

namespace velto::calls {

// A call's time stamp in local time: "%d/%02d/%02d %02d:%02d:%02d" (year, month, day, hour,
// minute, second), as the missed-call list shows it.
std::string CallTimeText(platform::WallTime when);

// The recording of a caller's message: "<folder>/recorded_<handle>_YYYYMMDDhhmmss.wav" in
// local time. Characters of the handle that would leave the folder ('/', '\\', NUL) become
// '_'; a handle that still cannot be part of a file name (control characters, too long) is
// left out: "<folder>/recorded_YYYYMMDDhhmmss.wav".
std::filesystem::path VoiceFileName(const std::filesystem::path& folder, const std::string& handle,
                                    platform::WallTime when);

}  // namespace velto::calls
