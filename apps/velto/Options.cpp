#include "Options.h"

namespace velto::program {

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--headless") {
            options.headless = true;
        } else if (argument == "--demo") {
            options.demo = true;
            // An optional scenario file follows.
            if (i + 1 < arguments.size() && !arguments[i + 1].starts_with("-")) {
                options.demoScenario = arguments[++i];
            }
        } else {
            options.rest.push_back(argument);
        }
    }
    if (options.demo && options.headless) {
        error = "--demo shows the program's windows; it cannot run with --headless";
        return std::nullopt;
    }
    return options;
}

}  // namespace velto::program
