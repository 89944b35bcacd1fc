#pragma once

#include <filesystem>

#include "sipaccount/SipSettings.h"

namespace velto::account {

// `velto-account status`: the registration of the velto that runs now, as its note in
// `sipData` says; when none runs, registers once with the account (through the program's
// SIP module, on a port of its own), prints the result in one line and unregisters. The
// exit code: 0 registered (or nothing to register), 1 not.
int AccountStatus(skype::sip::SipSettingsResult settings, const std::filesystem::path& sipData,
                  const std::filesystem::path& temp);

}  // namespace velto::account
