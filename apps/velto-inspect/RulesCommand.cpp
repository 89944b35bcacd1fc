#include <string>
#include <vector>

#include "rules/RuleText.h"
#include "rules/RulesCodec.h"
#include "velto-inspect/Inspect.h"
#include "velto-inspect/Quoting.h"

namespace velto::inspect {
namespace {

void PrintReadable(const std::string& file, size_t size, const rules::DecodedRules& decoded,
                   std::ostream& out) {
    out << "rules file: " << QuoteNarrow(file) << " (" << size << " bytes)\n"
        << "rules: " << decoded.rules.size() << "\n";
    size_t number = 0;
    for (const rules::Rule& rule : decoded.rules) {
        out << "  " << ++number << ": " << QuoteNarrow(rule.name) << (rule.enabled ? "" : " (off)")
            << ": " << DescribeConditions(rule.when) << " -> " << DescribeActions(rule.then)
            << "\n";
    }
    for (const rules::RuleProblem& problem : decoded.problems) {
        out << "left out: " << problem.Describe() << "\n";
    }
}

void PrintJson(const rules::DecodedRules& decoded, std::ostream& out) {
    std::string contents = rules::EncodeRules(decoded.rules);
    contents.pop_back();  // its newline
    out << "{\"contents\":" << contents << ",\"problems\":[";
    const char* separator = "";
    for (const rules::RuleProblem& problem : decoded.problems) {
        out << separator << "{\"rule\":" << problem.index + 1
            << ",\"field\":" << JsonNarrow(problem.field)
            << ",\"message\":" << JsonNarrow(problem.message) << "}";
        separator = ",";
    }
    out << "]}\n";
}

}  // namespace

int RunRulesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int exitCode = kExitOk;
    const auto input = ReadFileInput("rules", args, rules::kMaxRulesFileBytes, out, err, exitCode);
    if (!input) {
        return exitCode;
    }
    const rules::DecodedRules decoded = rules::DecodeRules(input->bytes);
    if (!decoded.readable) {
        err << "velto-inspect: " << input->file
            << ": malformed rules file: " << decoded.problems.front().Describe() << "\n";
        return kExitMalformed;
    }
    if (input->json) {
        PrintJson(decoded, out);
    } else {
        PrintReadable(input->file, input->bytes.size(), decoded, out);
    }
    if (!decoded.problems.empty()) {
        err << "velto-inspect: " << input->file << ": " << decoded.problems.size()
            << " rule(s) left out, the first: " << decoded.problems.front().Describe() << "\n";
        return kExitMalformed;
    }
    return kExitOk;
}

}  // namespace velto::inspect
