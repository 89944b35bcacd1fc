#include "rules/RulesFile.h"

#include <cstring>

#include "core/BoundedFileRead.h"
#include "platform/AtomicFile.h"
#include "rules/RulesCodec.h"

namespace velto::rules {

namespace {

void KeepAside(const std::filesystem::path& path, LoadedRules& loaded) {
    const std::filesystem::path aside = platform::MoveAside(path);
    loaded.report.push_back(aside.empty() ? path.string() + " could not be kept aside"
                                          : path.string() + " is kept as " + aside.string());
}

}  // namespace

LoadedRules LoadRulesFile(const std::filesystem::path& path) {
    LoadedRules loaded;
    const core::FileReadResult file = core::ReadWholeFile(path, kMaxRulesFileBytes);
    switch (file.status) {
        case core::FileReadResult::Status::NotFound:
            return loaded;
        case core::FileReadResult::Status::TooLarge:
            loaded.report.push_back(path.string() + ": the file is larger than 4 MiB");
            KeepAside(path, loaded);
            return loaded;
        case core::FileReadResult::Status::Failed:
            // Unreadable is not damaged: leave it for the user to mend.
            loaded.report.push_back(path.string() + ": " + file.error);
            return loaded;
        case core::FileReadResult::Status::Ok:
            break;
    }
    DecodedRules decoded = DecodeRules(file.bytes);
    for (const RuleProblem& problem : decoded.problems) {
        loaded.report.push_back(path.string() + ": " + problem.Describe() +
                                (problem.index >= 0 ? "; the rule is left out" : ""));
    }
    loaded.rules = std::move(decoded.rules);
    if (decoded.problems.empty()) {
        return loaded;
    }
    KeepAside(path, loaded);
    if (decoded.readable) {
        if (const int error = SaveRulesFile(path, loaded.rules); error != 0) {
            loaded.report.push_back(path.string() + ": the good rules could not be written back: " +
                                    std::strerror(error));
        }
    }
    return loaded;
}

int SaveRulesFile(const std::filesystem::path& path, const RuleList& rules) {
    return platform::WriteFileAtomically(path, EncodeRules(rules), 0600);
}

}  // namespace velto::rules
