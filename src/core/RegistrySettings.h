#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/RegistryOptions.h"
#include "core/SharedState.h"
#include "i18n/LanguageChooser.h"
#include "i18n/RefreshList.h"
#include "platform/KnownFolders.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"

namespace velto::core {

// Keys and values of the settings store.
inline constexpr std::string_view kVeltoKey = "Software\\Velto";
inline constexpr std::string_view kRunValue = "XtraVelto";
inline constexpr uint32_t kOn = 0xFFFFFFFF;
inline constexpr uint32_t kOff = 0;

// The registry half of the settings: the start-up load, the load at each grant of access
// by Skype, and the option setters (which write through at once). Main thread only.
// Fatal errors show their message box and throw ProcessExit.
class RegistrySettings final : public RegistryOptions {
  public:
    RegistrySettings(SharedState& state, platform::Registry& registry,
                     platform::MessageBoxes& boxes, i18n::LanguageChooser& chooser,
                     const platform::KnownFolders& folders);

    void LoadStartupSettings();
    void LoadPersonalRegistrySettings();

    void SetAutoStart(bool on) override;
    void SetAutoUpdate(bool on) override;
    void SetFriendMsg(bool on) override;

    // The options dialog's language change, through core::ChangeLanguage (range-checked;
    // while Skype is attached only the Skype user's language changes, otherwise the stored
    // default changes too; every window in `refresh` re-reads its texts).
    bool ChangeLanguage(int32_t index, i18n::RefreshList& refresh);
    // Writes DefaultLanguage; 0 or the system error code.
    int WriteDefaultLanguage(int32_t index);

    // The Run entry's command line. The installation folder holds the data
    // (<prefix>/share/velto); the program is <prefix>/bin/velto.
    static std::string RunCommandLine(const std::string& installDir);

  private:
    // Opens the per-user key, creating it when missing; fatal when neither works.
    void OpenOrCreateUserKey();
    void WriteUserFlag(std::string_view name, bool on);
    [[noreturn]] void Fatal(const std::string& text, const std::string& caption, int exitCode);

    SharedState& state_;
    platform::Registry& registry_;
    platform::MessageBoxes& boxes_;
    i18n::LanguageChooser& chooser_;
    const platform::KnownFolders& folders_;
};

}  // namespace velto::core
