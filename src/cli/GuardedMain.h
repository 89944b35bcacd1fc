#pragma once

#include <functional>
#include <string_view>

namespace velto::cli {

// Runs a program's body; an exception that escapes it becomes one line on standard error
// ("NAME: internal error: WHAT") and exit code 1, never an abort with a core dump.
int GuardedMain(std::string_view name, const std::function<int()>& body);

}  // namespace velto::cli
