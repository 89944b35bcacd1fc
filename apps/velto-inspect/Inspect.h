#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Arguments.h"

namespace velto::inspect {

// Exit codes of every sub-command.
constexpr int kExitOk = cli::kExitOk;
constexpr int kExitMalformed = cli::kExitFailure;  // the file is damaged or cannot be read
constexpr int kExitUsage = cli::kExitUsage;        // wrong arguments

// One sub-command: `velto-inspect NAME ARGS...`. Errors go to `err` as one line.
struct Command {
    const char* name;
    const char* what;  // what FILE is, for the help text
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// What every sub-command takes: "[--json] FILE", and the file's bytes.
struct FileInput {
    bool json = false;
    std::string file;
    std::string bytes;
};

// Parses "[--json] FILE" for `command` and reads the file (at most `maxBytes`). --help and
// --version print to `out`; on a usage error or an unreadable file it writes one line to
// `err`. Either way it sets `exitCode` and returns nothing.
std::optional<FileInput> ReadFileInput(const char* command, const std::vector<std::string>& args,
                                       size_t maxBytes, std::ostream& out, std::ostream& err,
                                       int& exitCode);

// Runs the command line without the program name; returns the exit code.
int RunInspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The sub-commands, each in its own file.
int RunSettingCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunMissedCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunRegistryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunRulesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velto::inspect
