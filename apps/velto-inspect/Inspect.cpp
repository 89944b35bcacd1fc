#include "velto-inspect/Inspect.h"

#include <iterator>

#include "core/BoundedFileRead.h"

namespace velto::inspect {
namespace {

// Add a sub-command here (and its Run function in a file of its own).
const Command kCommands[] = {
    {"setting", "[--json] FILE  a per-user setting file", RunSettingCommand},
    {"registry", "[--json] FILE  a registry hive file", RunRegistryCommand},
    {"missed", "[--json] FILE  a missed-call file", RunMissedCommand},
};

void PrintUsage(std::ostream& out) {
    out << "usage: velto-inspect COMMAND ARGS...\n";
    for (const Command& command : kCommands) {
        out << "  velto-inspect " << command.name << " " << command.usage << "\n";
    }
}

}  // namespace

std::optional<FileInput> ReadFileInput(const char* command, const std::vector<std::string>& args,
                                       size_t maxBytes, std::ostream& err, int& exitCode) {
    FileInput input;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            input.json = true;
        } else if (input.file.empty() && !arg.starts_with("--")) {
            input.file = arg;
        } else {
            err << "velto-inspect: " << command << ": unexpected argument '" << arg << "'\n";
            exitCode = kExitUsage;
            return std::nullopt;
        }
    }
    if (input.file.empty()) {
        err << "usage: velto-inspect " << command << " [--json] FILE\n";
        exitCode = kExitUsage;
        return std::nullopt;
    }
    core::FileReadResult read = core::ReadWholeFile(input.file, maxBytes);
    if (read.status != core::FileReadResult::Status::Ok) {
        err << "velto-inspect: " << input.file << ": " << read.error << "\n";
        exitCode = kExitMalformed;
        return std::nullopt;
    }
    input.bytes = std::move(read.bytes);
    return input;
}

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
