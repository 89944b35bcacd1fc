#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace velto::platform {

// The user's folders, after the XDG base-directory rules:
//   local application data -> $XDG_DATA_HOME   (default ~/.local/share)
//   roaming application data -> $XDG_CONFIG_HOME (default ~/.config)
//   Startup (autostart)      -> $XDG_CONFIG_HOME/autostart
//   temporary folder         -> $TMPDIR (default /tmp)
// Built from an environment, so that tests point every folder into a sandbox.
class KnownFolders {
  public:
    using Environment = std::map<std::string, std::string>;

    explicit KnownFolders(Environment environment);
    // The process environment.
    static KnownFolders FromProcess();

    // Nothing when the folder cannot be determined (no HOME and no XDG variable).
    std::optional<std::filesystem::path> LocalAppData() const;
    std::optional<std::filesystem::path> RoamingAppData() const;
    std::optional<std::filesystem::path> Startup() const;
    std::filesystem::path Temp() const;

    const Environment& environment() const { return environment_; }

  private:
    std::optional<std::string> Get(const std::string& name) const;
    std::optional<std::filesystem::path> XdgHome(const std::string& variable,
                                                 const char* fallback) const;

    Environment environment_;
};

}  // namespace velto::platform
