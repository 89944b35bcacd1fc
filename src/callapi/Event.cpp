#include "callapi/Event.h"

#include "callapi/AutomationError.h"

namespace velto::skype {

const EventArg& Event::At(size_t index) const {
    if (index >= args.size()) {
        Mismatch(index);
    }
    return args[index];
}

void Event::Mismatch(size_t index) const {
    throw AutomationError(kTypeMismatch, "event " + std::to_string(static_cast<int>(id)) +
                                             ": no argument " + std::to_string(index) +
                                             " of the asked type");
}

int32_t Event::Int(size_t index) const {
    const auto* value = std::get_if<int32_t>(&At(index));
    if (value == nullptr) {
        Mismatch(index);
    }
    return *value;
}

bool Event::Bool(size_t index) const {
    const auto* value = std::get_if<bool>(&At(index));
    if (value == nullptr) {
        Mismatch(index);
    }
    return *value;
}

const std::string& Event::Text(size_t index) const {
    const auto* value = std::get_if<std::string>(&At(index));
    if (value == nullptr) {
        Mismatch(index);
    }
    return *value;
}

}  // namespace velto::skype
