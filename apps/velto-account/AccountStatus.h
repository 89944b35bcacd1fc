#pragma once

#include <filesystem>

#include "sipaccount/SipSettings.h"

namespace velto::account {

// `velto-account status`: registers once with the account (through the program's SIP
// module, on a port of its own so that a running velto keeps its own), prints the result
// in one line and unregisters. The exit code: 0 registered (or nothing to register), 1 not.
int AccountStatus(skype::sip::SipSettingsResult settings, const std::filesystem::path& temp);

}  // namespace velto::account
