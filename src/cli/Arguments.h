#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velto::cli {

// Exit codes every program shares.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Option {
    std::string_view name;   // "--data"
    std::string_view value;  // placeholder of its value ("DIR"); empty for a switch
    std::string_view help;
};

struct ExitCode {
    int code;
    std::string_view meaning;
};

// What a program accepts and how it explains itself. --help, -h and --version are always
// understood and need not be listed.
struct Tool {
    std::string_view name = {};      // "velto-convert"
    std::string_view synopsis = {};  // what follows the name on the usage line
    std::string_view about = {};     // one or more lines: what the program does
    std::vector<Option> options = {};
    std::vector<ExitCode> exitCodes = {};  // kExitUsage is added
    size_t minOperands = 0;
    size_t maxOperands = 0;
    // Words like "/OnStartUp" and "-OnStartUp" (a Windows-style switch: one mark, then a
    // word) are accepted and kept apart in `switches()`; the program decides what they mean.
    bool legacySwitches = false;
};

// The outcome of a parse that lets the program go on.
class Arguments {
  public:
    bool Has(std::string_view option) const;
    // The value of the option's last occurrence.
    std::optional<std::string> Value(std::string_view option) const;
    const std::vector<std::string>& operands() const { return operands_; }
    // The Windows-style switches, when the tool accepts them.
    const std::vector<std::string>& switches() const { return switches_; }

    void AddOption(std::string_view option, std::string value);
    void AddOperand(std::string operand) { operands_.push_back(std::move(operand)); }
    void AddSwitch(std::string word) { switches_.push_back(std::move(word)); }

  private:
    std::vector<std::pair<std::string, std::string>> options_;
    std::vector<std::string> operands_;
    std::vector<std::string> switches_;
};

// Parses the arguments after the program name. --help and --version print to `out` and
// set `exitCode` to kExitOk; a wrong argument prints one usage line to `err` and sets
// kExitUsage. Returns the arguments only when the program is to go on.
std::optional<Arguments> Parse(const Tool& tool, const std::vector<std::string>& arguments,
                               std::ostream& out, std::ostream& err, int& exitCode);

// One line on `err`: "NAME: PROBLEM (usage: NAME SYNOPSIS; try --help)". Returns kExitUsage.
int UsageError(const Tool& tool, std::string_view problem, std::ostream& err);

}  // namespace velto::cli
