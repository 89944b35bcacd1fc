#pragma once

#include "cli/Arguments.h"

namespace velto::program {

// Everything the velto program accepts on its command line, in one table: add an option
// here and read it from the parsed arguments in main.
const cli::Tool& VeltoTool();

}  // namespace velto::program
