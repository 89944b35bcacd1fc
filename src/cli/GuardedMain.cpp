#include "cli/GuardedMain.h"

#include <cstdio>
#include <exception>
#include <string>

#include "cli/Arguments.h"

namespace velto::cli {

int GuardedMain(std::string_view name, const std::function<int()>& body) {
    const std::string program(name);
    try {
        return body();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: internal error: %s\n", program.c_str(), error.what());
    } catch (...) {
        std::fprintf(stderr, "%s: internal error\n", program.c_str());
    }
    return kExitFailure;
}

}  // namespace velto::cli
