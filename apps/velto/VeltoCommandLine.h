#pragma once

#include <string>
#include <vector>

#include "cli/Arguments.h"

namespace velto::program {

// Everything the velto program accepts on its command line, in one table: add an option
// here and read it from the parsed arguments in main.
const cli::Tool& VeltoTool();

// Takes the scenario file that may follow --demo out of `arguments` (the table's parser
// accepts only Windows-style switches as operands).
std::string TakeDemoScenario(std::vector<std::string>& arguments);

}  // namespace velto::program
