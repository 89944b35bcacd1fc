#pragma once

#include <string>
#include <string_view>

#include "cli/Arguments.h"

namespace velto::cli {

// The text of --help: usage, what the program does, each option, the exit codes.
std::string HelpText(const Tool& tool);

// The text of --version: program, version, licence.
std::string VersionText(std::string_view name);

// The version of this build ("1.2").
std::string_view Version();

}  // namespace velto::cli
