#include "calls/RulesStore.h"

#include "platform/Trace.h"
#include "rules/RulesFile.h"

namespace velto::calls {

std::shared_ptr<const rules::RuleList> RulesStore::For(const std::filesystem::path& folder) {
    std::lock_guard guard(mutex_);
    if (!list_ || folder != folder_) {
        rules::LoadedRules loaded = rules::LoadRulesFile(folder / rules::kRulesFileName);
        for (const std::string& line : loaded.report) {
            platform::Trace("Rules: %s\n", line.c_str());
        }
        folder_ = folder;
        list_ = std::make_shared<const rules::RuleList>(std::move(loaded.rules));
    }
    return list_;
}

int RulesStore::Save(const std::filesystem::path& folder, rules::RuleList list) {
    if (const int error = rules::SaveRulesFile(folder / rules::kRulesFileName, list); error != 0) {
        return error;
    }
    std::lock_guard guard(mutex_);
    folder_ = folder;
    list_ = std::make_shared<const rules::RuleList>(std::move(list));
    return 0;
}

}  // namespace velto::calls
