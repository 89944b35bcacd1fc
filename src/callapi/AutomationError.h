#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velto::skype {

// HRESULT-style result codes: negative means failure.
using ResultCode = int32_t;

constexpr ResultCode kFail = static_cast<ResultCode>(0x80004005);             // E_FAIL
constexpr ResultCode kInvalidArgument = static_cast<ResultCode>(0x80070057);  // E_INVALIDARG
constexpr ResultCode kBadIndex = static_cast<ResultCode>(0x8002000B);         // DISP_E_BADINDEX
constexpr ResultCode kTypeMismatch = static_cast<ResultCode>(0x80020005);     // DISP_E_TYPEMISMATCH
constexpr ResultCode kWrongThread = static_cast<ResultCode>(0x8001010E);      // RPC_E_WRONG_THREAD
constexpr ResultCode kNotAttached = static_cast<ResultCode>(0x80040001);      // Skype not attached

// A failed Skype operation. Workers catch it once, trace Code() and end their flow.
class AutomationError : public std::runtime_error {
  public:
    AutomationError(ResultCode code, const std::string& what);

    ResultCode code() const { return code_; }
    // The same code as an unsigned value, for "%u(%x)" traces.
    uint32_t unsignedCode() const { return static_cast<uint32_t>(code_); }

  private:
    ResultCode code_;
};

// Raises AutomationError for a negative code; returns the code otherwise.
ResultCode CheckResult(ResultCode code, const char* operation);

}  // namespace velto::skype
