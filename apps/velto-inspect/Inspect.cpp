#include "velto-inspect/Inspect.h"

#include <iterator>

namespace velto::inspect {
namespace {

// Add a sub-command here (and its Run function in a file of its own).
const Command kCommands[] = {
    {"setting", "[--json] FILE  a per-user setting file", RunSettingCommand},
    {"registry", "[--json] FILE  a registry hive file", RunRegistryCommand},
};

void PrintUsage(std::ostream& out) {
    out << "usage: velto-inspect COMMAND ARGS...\n";
    for (const Command& command : kCommands) {
        out << "  velto-inspect " << command.name << " " << command.usage << "\n";
    }
}

}  // namespace

int RunInspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintUsage(args.empty() ? err : out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    for (const Command& command : kCommands) {
        if (args[0] == command.name) {
            return command.run(std::vector<std::string>(std::next(args.begin()), args.end()), out,
                               err);
        }
    }
    err << "velto-inspect: unknown command '" << args[0] << "' (try --help)\n";
    return kExitUsage;
}

}  // namespace velto::inspect
