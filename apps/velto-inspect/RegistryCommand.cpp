#include "velto-inspect/Inspect.h"

namespace velto::inspect {

// The hive reader is not part of this build yet; say so plainly instead of guessing.
int RunRegistryCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: velto-inspect registry FILE\n";
        return kExitUsage;
    }
    err << "velto-inspect: registry: reading hive files is not available in this build yet\n";
    return kExitUsage;
}

}  // namespace velto::inspect
