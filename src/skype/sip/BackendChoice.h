#pragma once

#include <string>
#include <vector>

#include "platform/Registry.h"

namespace velto::skype::sip {

enum class CallBackend { None, Sip };

struct BackendChoice {
    CallBackend backend = CallBackend::None;
    // The arguments without the backend option.
    std::vector<std::string> rest;
    // A bad option value (the choice then falls back to the configured one).
    std::string error;
};

// `--backend sip|none` (or `--backend=...`) decides; without it, SIP when the user hive
// holds a SIP identity.
BackendChoice ChooseBackend(const std::vector<std::string>& arguments,
                            const platform::Registry& registry);

}  // namespace velto::skype::sip
