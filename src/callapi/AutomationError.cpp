#include "callapi/AutomationError.h"

#include <cstdio>

namespace velto::skype {

namespace {

std::string Describe(ResultCode code, const std::string& what) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    return what + " (" + hex + ")";
}

}  // namespace

AutomationError::AutomationError(ResultCode code, const std::string& what)
    : std::runtime_error(Describe(code, what)), code_(code) {}

ResultCode CheckResult(ResultCode code, const char* operation) {
    if (code < 0) {
        throw AutomationError(code, operation);
    }
    return code;
}

}  // namespace velto::skype
