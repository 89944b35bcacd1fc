#include "velto-inspect/Inspect.h"

#include <algorithm>
#include <iterator>

#include "core/BoundedFileRead.h"

namespace velto::inspect {
namespace {

// Add a sub-command here (and its Run function in a file of its own).
const Command kCommands[] = {
    {"setting", "a per-user setting file", RunSettingCommand},
    {"registry", "a registry hive file", RunRegistryCommand},
    {"missed", "a missed-call file", RunMissedCommand},
    {"rules", "a rules file (who hears what, and when)", RunRulesCommand},
};

const std::vector<cli::ExitCode> kExitCodes = {
    {kExitOk, "the file was read and printed"},
    {kExitMalformed, "the file is damaged (the damage is named) or cannot be read"}};

std::string CommandList() {
    std::string list = "Prints the program's own files for users and support. Commands:\n";
    for (const Command& command : kCommands) {
        std::string name = command.name;
        name.resize(std::max<size_t>(name.size(), 8), ' ');
        list += "  " + name + " [--json] FILE  " + command.what + "\n";
    }
    return list + "Try: velto-inspect COMMAND --help";
}

const cli::Tool kTool{
    .name = "velto-inspect",
    .synopsis = "setting|registry|missed|rules [--json] FILE",
    .about = "",
    .exitCodes = kExitCodes,
    .minOperands = 1,
    .maxOperands = 1,
};

}  // namespace

std::optional<FileInput> ReadFileInput(const char* command, const std::vector<std::string>& args,
                                       size_t maxBytes, std::ostream& out, std::ostream& err,
                                       int& exitCode) {
    const std::string name = std::string("velto-inspect ") + command;
    std::string about;
    for (const Command& known : kCommands) {
        if (known.name == std::string_view(command)) {
            about = std::string("Prints FILE, ") + known.what +
                    ", and names the field and offset\n" + "(or the line) of any damage.";
        }
    }
    const cli::Tool tool{
        .name = name,
        .synopsis = "[--json] FILE",
        .about = about,
        .options = {{"--json", "", "print the contents as one JSON object"}},
        .exitCodes = kExitCodes,
        .minOperands = 1,
        .maxOperands = 1,
    };
    const auto parsed = cli::Parse(tool, args, out, err, exitCode);
    if (!parsed) {
        return std::nullopt;
    }
    FileInput input;
    input.json = parsed->Has("--json");
    input.file = parsed->operands()[0];
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
    if (!args.empty()) {
        for (const Command& command : kCommands) {
            if (args[0] == command.name) {
                return command.run(std::vector<std::string>(std::next(args.begin()), args.end()),
                                   out, err);
            }
        }
    }
    // No command: --help, --version or a usage error.
    const std::string about = CommandList();
    cli::Tool tool = kTool;
    tool.about = about;
    int exitCode = kExitUsage;
    if (cli::Parse(tool, args, out, err, exitCode)) {
        exitCode = cli::UsageError(tool, "unknown command '" + args[0] + "'", err);
    }
    return exitCode;
}

}  // namespace velto::inspect
