#include <iostream>

#include "cli/GuardedMain.h"
#include "velto-inspect/Inspect.h"

int main(int argc, char** argv) {
    return velto::cli::GuardedMain("velto-inspect", [&] {
        return velto::inspect::RunInspect(std::vector<std::string>(argv + 1, argv + argc),
                                          std::cout, std::cerr);
    });
}
