#include <iostream>

#include "velto-inspect/Inspect.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return velto::inspect::RunInspect(args, std::cout, std::cerr);
}
