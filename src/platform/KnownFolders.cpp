#include "platform/KnownFolders.h"

#include <cstdlib>

extern char** environ;

namespace velto::platform {

KnownFolders::KnownFolders(Environment environment) : environment_(std::move(environment)) {}

KnownFolders KnownFolders::FromProcess() {
    Environment environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos) {
            environment.emplace(text.substr(0, equals), text.substr(equals + 1));
        }
    }
    return KnownFolders(std::move(environment));
}

std::optional<std::string> KnownFolders::Get(const std::string& name) const {
    const auto it = environment_.find(name);
    if (it == environment_.end() || it->second.empty()) {
        return std::nullopt;
    }
    return it->second;
}

// XDG says a relative path in these variables is invalid and must be ignored.
std::optional<std::filesystem::path> KnownFolders::XdgHome(const std::string& variable,
                                                           const char* fallback) const {
    if (auto value = Get(variable); value && std::filesystem::path(*value).is_absolute()) {
        return std::filesystem::path(*value);
    }
    if (auto home = Get("HOME")) {
        return std::filesystem::path(*home) / fallback;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> KnownFolders::LocalAppData() const {
    return XdgHome("XDG_DATA_HOME", ".local/share");
}

std::optional<std::filesystem::path> KnownFolders::RoamingAppData() const {
    return XdgHome("XDG_CONFIG_HOME", ".config");
}

std::optional<std::filesystem::path> KnownFolders::Startup() const {
    auto config = RoamingAppData();
    if (!config) {
        return std::nullopt;
    }
    return *config / "autostart";
}

std::filesystem::path KnownFolders::Temp() const {
    if (auto value = Get("TMPDIR")) {
        return *value;
    }
    return "/tmp";
}

}  // namespace velto::platform
