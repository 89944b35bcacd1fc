#include "calls/CallTimeText.h"

#include <cstdio>
#include <ctime>

#include "platform/PathComponent.h"

namespace velto::calls {
namespace {

std::tm LocalTime(platform::WallTime when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

}  // namespace

std::string CallTimeText(platform::WallTime when) {
    const std::tm t = LocalTime(when);
    char text[64];
    std::snprintf(text, sizeof text, "%d/%02d/%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::filesystem::path VoiceFileName(const std::filesystem::path& folder, const std::string& handle,
                                    platform::WallTime when) {
    std::string safe = handle;
    for (char& c : safe) {
        if (c == '/' || c == '\\' || c == '\0') {
            c = '_';
        }
    }
    const std::tm t = LocalTime(when);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d%02d%02d%02d.wav", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    const std::string name = "recorded_" + safe + stamp;
    // The message is kept even when the handle cannot be part of a file name.
    return folder / (platform::IsSafePathComponent(name) ? name : "recorded" + std::string(stamp));
}

}  // namespace velto::calls
