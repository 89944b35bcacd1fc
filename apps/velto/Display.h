#pragma once

#include <map>
#include <optional>
#include <string>

namespace velto::program {

// Why no window can be shown with this environment, or nothing when a display is there:
// QT_QPA_PLATFORM names a platform, or WAYLAND_DISPLAY or DISPLAY names a display whose
// socket exists (a display on another host is taken on trust).
std::optional<std::string> WhyNoDisplay(const std::map<std::string, std::string>& environment);

std::map<std::string, std::string> ProcessEnvironment();

}  // namespace velto::program
