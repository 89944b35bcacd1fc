#include "Display.h"

#include <unistd.h>

#include <filesystem>

extern char** environ;

namespace velto::program {

namespace {

std::string Get(const std::map<std::string, std::string>& environment, const std::string& name) {
    const auto found = environment.find(name);
    return found == environment.end() ? std::string() : found->second;
}

// ":0", ":0.0", "unix:1": a local X display, whose socket is /tmp/.X11-unix/X<N>.
std::optional<std::filesystem::path> LocalXSocket(const std::string& display) {
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") {
        return std::nullopt;
    }
    std::string number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::filesystem::path("/tmp/.X11-unix") / ("X" + number);
}

}  // namespace

std::map<std::string, std::string> ProcessEnvironment() {
    std::map<std::string, std::string> environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const size_t equals = text.find('=');
        if (equals != std::string::npos) {
            environment.emplace(text.substr(0, equals), text.substr(equals + 1));
        }
    }
    return environment;
}

std::optional<std::string> WhyNoDisplay(const std::map<std::string, std::string>& environment) {
    if (!Get(environment, "QT_QPA_PLATFORM").empty()) {
        return std::nullopt;
    }
    std::error_code error;
    const std::string wayland = Get(environment, "WAYLAND_DISPLAY");
    if (!wayland.empty()) {
        const std::filesystem::path socket =
            wayland.starts_with("/")
                ? std::filesystem::path(wayland)
                : std::filesystem::path(Get(environment, "XDG_RUNTIME_DIR")) / wayland;
        if (std::filesystem::exists(socket, error)) {
            return std::nullopt;
        }
    }
    const std::string display = Get(environment, "DISPLAY");
    if (!display.empty()) {
        const auto socket = LocalXSocket(display);
        if (!socket || std::filesystem::exists(*socket, error)) {
            return std::nullopt;
        }
        return "no display: nothing answers at DISPLAY=" + display;
    }
    if (!wayland.empty()) {
        return "no display: nothing answers at WAYLAND_DISPLAY=" + wayland;
    }
    return "no display: DISPLAY and WAYLAND_DISPLAY are unset";
}

}  // namespace velto::program
