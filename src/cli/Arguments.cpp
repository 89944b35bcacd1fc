#include "cli/Arguments.h"

#include "cli/Help.h"

namespace velto::cli {

namespace {

const Option* FindOption(const Tool& tool, std::string_view name) {
    for (const Option& option : tool.options) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

// "/OnStartUp" or "-OnStartUp": one mark, then a word (not "-x", not "--x").
bool IsLegacySwitch(std::string_view word) {
    if (word.size() < 2) {
        return false;
    }
    if (word[0] == '/') {
        return true;
    }
    return word[0] == '-' && word[1] != '-' && word.size() > 2;
}

}  // namespace

bool Arguments::Has(std::string_view option) const {
    for (const auto& [name, value] : options_) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> Arguments::Value(std::string_view option) const {
    for (auto it = options_.rbegin(); it != options_.rend(); ++it) {
        if (it->first == option) {
            return it->second;
        }
    }
    return std::nullopt;
}

void Arguments::AddOption(std::string_view option, std::string value) {
    options_.emplace_back(std::string(option), std::move(value));
}

int UsageError(const Tool& tool, std::string_view problem, std::ostream& err) {
    err << tool.name << ": " << problem << " (usage: " << tool.name;
    if (!tool.synopsis.empty()) {
        err << ' ' << tool.synopsis;
    }
    err << "; try --help)\n";
    return kExitUsage;
}

std::optional<Arguments> Parse(const Tool& tool, const std::vector<std::string>& arguments,
                               std::ostream& out, std::ostream& err, int& exitCode) {
    Arguments parsed;
    bool optionsEnded = false;
    auto fail = [&](const std::string& problem) {
        exitCode = UsageError(tool, problem, err);
        return std::nullopt;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        const bool optionLike = !optionsEnded && word.size() > 1 && word[0] == '-';
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (optionLike && (word == "--help" || word == "-h")) {
            out << HelpText(tool);
            exitCode = kExitOk;
            return std::nullopt;
        } else if (optionLike && word == "--version") {
            out << VersionText(tool.name);
            exitCode = kExitOk;
            return std::nullopt;
        } else if (optionLike && word.starts_with("--")) {
            const size_t equals = word.find('=');
            const std::string name = word.substr(0, equals);
            const Option* option = FindOption(tool, name);
            if (option == nullptr && (name == "--help" || name == "--version")) {
                return fail("option '" + name + "' takes no value");
            }
            if (option == nullptr) {
                return fail("unknown option '" + name + "'");
            }
            if (option->value.empty()) {
                if (equals != std::string::npos) {
                    return fail("option '" + name + "' takes no value");
                }
                parsed.AddOption(name, "");
            } else if (equals != std::string::npos) {
                parsed.AddOption(name, word.substr(equals + 1));
            } else if (i + 1 < arguments.size()) {
                parsed.AddOption(name, arguments[++i]);
            } else {
                return fail("option '" + name + "' needs a value (" + std::string(option->value) +
                            ")");
            }
        } else if (!optionsEnded && tool.legacySwitches && IsLegacySwitch(word)) {
            parsed.AddSwitch(word);
        } else if (optionLike) {
            return fail("unknown option '" + word + "'");
        } else {
            if (parsed.operands().size() == tool.maxOperands) {
                return fail("unexpected argument '" + word + "'");
            }
            parsed.AddOperand(word);
        }
    }
    if (parsed.operands().size() < tool.minOperands) {
        return fail("missing argument");
    }
    exitCode = kExitOk;
    return parsed;
}

}  // namespace velto::cli
