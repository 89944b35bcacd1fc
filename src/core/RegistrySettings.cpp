#include "core/RegistrySettings.h"

#include "core/DataDirs.h"
#include "core/LanguageChange.h"
#include "core/ProcessExit.h"
#include "i18n/StartupLanguage.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::core {

using platform::RegError;
using platform::RegRoot;
using platform::RegType;
using platform::Trace;

namespace {

constexpr const char* kNotInstalled =
    "Velto Skype Plugin is not installed or broken on your machine, please install again.";
// The reader's buffer for InstallDir, in bytes of UTF-16 text with its terminator.
constexpr size_t kInstallDirBuffer = 1024;

long Code(RegError error) {
    return static_cast<long>(error);
}

}  // namespace

RegistrySettings::RegistrySettings(SharedState& state, platform::Registry& registry,
                                   platform::MessageBoxes& boxes, i18n::LanguageChooser& chooser,
                                   const platform::KnownFolders& folders)
    : state_(state), registry_(registry), boxes_(boxes), chooser_(chooser), folders_(folders) {}

void RegistrySettings::Fatal(const std::string& text, const std::string& caption, int exitCode) {
    boxes_.Show(text, caption);
    throw ProcessExit(exitCode);
}

void RegistrySettings::OpenOrCreateUserKey() {
    if (registry_.KeyExists(RegRoot::CurrentUser, kVeltoKey)) {
        return;
    }
    if (registry_.CreateKey(RegRoot::CurrentUser, kVeltoKey) != RegError::Ok) {
        Fatal("Failed to create key", "", 0);
    }
    if (!registry_.KeyExists(RegRoot::CurrentUser, kVeltoKey)) {
        Fatal("Failed to open key Software\\Velto", "", 0);
    }
}

void RegistrySettings::LoadStartupSettings() {
    state_.FirstRun = false;
    Trace("Start Loading the setting files....\n");

    if (!registry_.KeyExists(RegRoot::LocalMachine, kVeltoKey)) {
        Fatal(kNotInstalled, "Failed", 0);
    }
    std::string installDir;
    RegType type = RegType::None;
    RegError error =
        registry_.QueryString(RegRoot::LocalMachine, kVeltoKey, "InstallDir", installDir, &type);
    if (error == RegError::Ok &&
        (platform::Utf8ToUtf16(installDir).size() + 1) * 2 > kInstallDirBuffer) {
        error = RegError::MoreData;
    }
    if (error != RegError::Ok) {
        Trace("Error query value %ld\n", Code(error));
        Fatal(kNotInstalled, "Failed", 1);
    }
    if (type != RegType::Sz) {
        Trace("Not REG_SZ\n");
    }
    // The stored text ends at its terminator, as the narrow conversion reads it.
    installDir = installDir.substr(0, installDir.find('\0'));
    state_.InstallDirPath.Set(installDir);

    state_.UserDataDir.Set(PrepareUserDataDir(folders_, installDir));

    OpenOrCreateUserKey();

    uint32_t stored = kOn;
    std::optional<uint32_t> language;
    if (registry_.QueryDword(RegRoot::CurrentUser, kVeltoKey, "DefaultLanguage", stored) ==
        RegError::Ok) {
        language = stored;
    }
    const i18n::StartupLanguage startup = i18n::ResolveStartupLanguage(language, chooser_);
    state_.DefaultLanguageIndex = startup.language;
    if (startup.mustStore) {
        const RegError written =
            registry_.SetDword(RegRoot::CurrentUser, kVeltoKey, "DefaultLanguage",
                               static_cast<uint32_t>(startup.language));
        if (written != RegError::Ok) {
            Trace("Fail to set key value %ld\n", Code(written));
        } else {
            Trace("OK to set key value\n");
        }
    }
    state_.CurrentLanguage = state_.DefaultLanguageIndex.load();

    OpenOrCreateUserKey();

    uint32_t friendMsg = kOn;
    if (registry_.QueryDword(RegRoot::CurrentUser, kVeltoKey, "FriendMsg", friendMsg) !=
        RegError::Ok) {
        friendMsg = kOn;
    }
    if (friendMsg == kOn) {
        registry_.SetDword(RegRoot::CurrentUser, kVeltoKey, "FriendMsg", kOn);
    } else {
        state_.FriendMsgEnabled = friendMsg != 0;
    }

    uint32_t executed = 0;
    state_.FirstRun =
        registry_.QueryDword(RegRoot::CurrentUser, kVeltoKey, "Executed", executed) != RegError::Ok;
    Trace("FirstTime=%d!!!!!!!!!!!!!!!!!!!!!\n", state_.FirstRun ? 1 : 0);
    registry_.SetDword(RegRoot::CurrentUser, kVeltoKey, "Executed", kOn);

    uint32_t authorized = 0;
    state_.AuthorizedOnce = registry_.QueryDword(RegRoot::CurrentUser, kVeltoKey, "AuthorizedOnce",
                                                 authorized) == RegError::Ok &&
                            authorized != 0;
}

void RegistrySettings::LoadPersonalRegistrySettings() {
    Trace("Accessing registry for auto start\n");
    state_.AutoStartEnabled = true;
    state_.AutoUpdateEnabled = true;
    state_.FriendMsgEnabled = true;

    if (!registry_.KeyExists(RegRoot::CurrentUser, kVeltoKey)) {
        Trace("Cannot open\n");
        if (registry_.CreateKey(RegRoot::CurrentUser, kVeltoKey) != RegError::Ok) {
            Fatal("Failed to create key", "", 0);
        }
    } else {
        Trace("Opened\n");
        struct Option {
            const char* name;
            std::atomic<bool>& flag;
        };
        const Option options[] = {{"AutoStart", state_.AutoStartEnabled},
                                  {"FriendMsg", state_.FriendMsgEnabled},
                                  {"AutoUpdate", state_.AutoUpdateEnabled}};
        for (const Option& option : options) {
            uint32_t value = 0;
            RegType type = RegType::None;
            if (registry_.QueryDword(RegRoot::CurrentUser, kVeltoKey, option.name, value, &type) !=
                RegError::Ok) {
                Trace("Error Open Software\\Velto\\%s\n", option.name);
                continue;
            }
            if (type != RegType::Dword) {
                Trace("Not REG_DWORD\n");
            }
            option.flag = value != 0;
            Trace("%s=%d\n", option.name, option.flag ? 1 : 0);
        }
    }

    Trace("Finish autostart loading\n");
    Trace("Enable/disable autostart\n");
    SetAutoStart(state_.AutoStartEnabled);
    SetAutoUpdate(state_.AutoUpdateEnabled);
    SetFriendMsg(state_.FriendMsgEnabled);
}

void RegistrySettings::WriteUserFlag(std::string_view name, bool on) {
    if (!registry_.KeyExists(RegRoot::CurrentUser, kVeltoKey)) {
        return;
    }
    const RegError error =
        registry_.SetDword(RegRoot::CurrentUser, kVeltoKey, name, on ? kOn : kOff);
    if (error != RegError::Ok) {
        Trace("Fail to set key value %ld\n", Code(error));
    } else {
        Trace("OK to set key value\n");
    }
}

void RegistrySettings::SetFriendMsg(bool on) {
    state_.FriendMsgEnabled = on;
    WriteUserFlag("FriendMsg", on);
}

void RegistrySettings::SetAutoUpdate(bool on) {
    state_.AutoUpdateEnabled = on;
    WriteUserFlag("AutoUpdate", on);
}

std::string RegistrySettings::RunCommandLine(const std::string& installDir) {
    const auto program =
        (std::filesystem::path(installDir) / ".." / ".." / "bin" / "velto").lexically_normal();
    return program.string() + " /OnStartUp";
}

void RegistrySettings::SetAutoStart(bool on) {
    state_.AutoStartEnabled = on;
    const auto startup = folders_.Startup();
    if (!startup) {
        boxes_.Show("Failed to find startup dir", "Error");
        state_.AutoStartEnabled = false;
    } else {
        // The original formed a shortcut path here; it is only traced.
        Trace("%s\n", (*startup / "Velto.lnk").c_str());
    }

    if (state_.AutoStartEnabled) {
        // Every Windows profile has a Run key; a fresh hive gets one.
        if (registry_.CreateKey(RegRoot::CurrentUser, platform::kRunKey) == RegError::Ok) {
            const RegError error =
                registry_.SetString(RegRoot::CurrentUser, platform::kRunKey, kRunValue,
                                    RunCommandLine(state_.InstallDirPath.Get()));
            if (error != RegError::Ok) {
                Trace("Failed to set Velto Startup Registry value %ld\n", Code(error));
            } else {
                Trace("OK to set Velto Startup Registry key value\n");
            }
        }
    } else if (registry_.KeyExists(RegRoot::CurrentUser, platform::kRunKey)) {
        const RegError error =
            registry_.DeleteValue(RegRoot::CurrentUser, platform::kRunKey, kRunValue);
        if (error != RegError::Ok) {
            Trace("Failed to delete registry key %ld\n", Code(error));
        } else {
            Trace("OK, deleted registry key\n");
        }
    }

    WriteUserFlag("AutoStart", state_.AutoStartEnabled);
}

bool RegistrySettings::ChangeLanguage(int32_t index, i18n::RefreshList& refresh) {
    return core::ChangeLanguage(
        state_, index, [this](int32_t language) { return WriteDefaultLanguage(language); },
        refresh);
}

int RegistrySettings::WriteDefaultLanguage(int32_t index) {
    return static_cast<int>(registry_.SetDword(RegRoot::CurrentUser, kVeltoKey, "DefaultLanguage",
                                               static_cast<uint32_t>(index)));
}

}  // namespace velto::core
