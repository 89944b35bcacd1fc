#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velto::skype::sip {

// How a setting is kept in the user hive: text (REG_SZ), on|off or a number (REG_DWORD).
enum class SettingKind { Text, Switch, Number };

// One setting of the SIP account as the user sets it with `velto-account set NAME VALUE`.
struct SipSettingInfo {
    const char* name;   // velto-account's name: "auth-user"
    const char* value;  // the hive value: "AuthUser"
    SettingKind kind;
    const char* argument;  // what the value looks like, for the help
    const char* help;      // one or more lines, 46 columns wide
    const char* unset;     // what `show` says when it is not set
};

// Every setting, in the order `show` and the help list them.
const std::vector<SipSettingInfo>& SipSettingList();
const SipSettingInfo* FindSipSetting(std::string_view name);

// Checks `text` as the user typed it for `setting`; the reason it is refused, without the
// setting's name, or nothing. An empty text unsets a text setting and is always taken.
std::optional<std::string> CheckSipSetting(const SipSettingInfo& setting, const std::string& text);

// `LOW-HIGH`, two ports from 1024 to 65535 with LOW <= HIGH.
struct PortRange {
    uint16_t low = 0;
    uint16_t high = 0;
};
std::optional<PortRange> ParsePortRange(std::string_view text, std::string& error);

}  // namespace velto::skype::sip
