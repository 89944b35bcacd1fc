#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velto::convert {

// velto-convert's whole run, given the arguments after the program name. The tone is made
// in a temporary file beside OUT and renamed over OUT only when it is usable, so a failure
// leaves no file behind and an existing OUT is replaced only by a complete tone.
int RunConvert(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace velto::convert
