#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velto::program {

// What the command line of velto asks for. Options the program does not know are left in
// `rest` for the application object (which looks for OnStartUp only).
struct Options {
    bool headless = false;  // --headless: no window, tray or dialog
    bool demo = false;      // --demo [SCENARIO]: the GUI on the simulated Skype client
    std::string demoScenario;
    std::vector<std::string> rest;
};

// Parses the arguments (without the program name). Nothing, with `error`, on a misuse.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error);

}  // namespace velto::program
