#include "cli/Help.h"

#include <algorithm>

namespace velto::cli {

namespace {

std::string OptionLabel(const Option& option) {
    std::string label(option.name);
    if (!option.value.empty()) {
        label += ' ';
        label += option.value;
    }
    return label;
}

// Each line of `text`, indented by `indent` blanks.
void AppendIndented(std::string& out, std::string_view text, size_t indent) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        out.append(indent, ' ');
        out += text.substr(0, end);
        out += '\n';
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
}

}  // namespace

std::string_view Version() {
    return VELTO_VERSION;
}

std::string HelpText(const Tool& tool) {
    std::string out = "usage: " + std::string(tool.name);
    if (!tool.synopsis.empty()) {
        out += ' ';
        out += tool.synopsis;
    }
    out += "\n\n";
    AppendIndented(out, tool.about, 0);

    std::vector<Option> options = tool.options;
    options.push_back({"-h, --help", "", "show this help and exit"});
    options.push_back({"--version", "", "show the version and licence and exit"});
    size_t width = 0;
    for (const Option& option : options) {
        width = std::max(width, OptionLabel(option).size());
    }
    out += "\noptions:\n";
    for (const Option& option : options) {
        const std::string label = OptionLabel(option);
        out += "  " + label + std::string(width - label.size() + 2, ' ');
        // Continuation lines of the help line up under its first line.
        std::string_view help = option.help;
        const size_t end = help.find('\n');
        out += help.substr(0, end);
        out += '\n';
        if (end != std::string_view::npos) {
            AppendIndented(out, help.substr(end + 1), width + 4);
        }
    }

    std::vector<ExitCode> codes = tool.exitCodes;
    codes.push_back({kExitUsage, "wrong arguments"});
    out += "\nexit codes:\n";
    for (const ExitCode& code : codes) {
        out += "  " + std::to_string(code.code) + "  " + std::string(code.meaning) + "\n";
    }
    return out;
}

std::string VersionText(std::string_view name) {
    return std::string(name) + " (Velto) " + std::string(Version()) +
           "\n"
           "License GPL-3.0-or-later: GNU GPL version 3 or later "
           "<https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace velto::cli
