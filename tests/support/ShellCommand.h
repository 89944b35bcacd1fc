#pragma once

#include <string>

namespace velto::test {

// A shell command line run to its end: its exit code (128 + the signal that ended it) and
// its standard output.
struct ShellOutcome {
    int code = -1;
    std::string output;
};
ShellOutcome RunShell(const std::string& command);

// `text` as one shell word, whatever it holds.
std::string ShellQuote(const std::string& text);

}  // namespace velto::test
