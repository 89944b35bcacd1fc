#pragma once

#include <optional>
#include <string>

#include "platform/Registry.h"

namespace velto::skype::sip {

enum class CallBackend { None, Sip };

// The value of `--backend` decides ("sip" or "none"; anything else is traced and ignored);
// without it, SIP when the user hive holds a SIP identity.
CallBackend ChooseBackend(const std::optional<std::string>& named,
                          const platform::Registry& registry);

}  // namespace velto::skype::sip
