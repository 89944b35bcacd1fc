#pragma once

#include <filesystem>
#include <memory>
#include <mutex>

#include "rules/Rule.h"

namespace velto::calls {

// The signed-in user's rules, read from the user's folder when a call first needs them
// (and again when another user signs in), shared by every call handler and the options.
class RulesStore {
  public:
    // The rules of the user whose folder is `folder`; the file's faults are traced once, at
    // the read.
    std::shared_ptr<const rules::RuleList> For(const std::filesystem::path& folder);
    // Writes the rules into the user's folder and uses them from the next call on.
    // Returns 0 or an errno value (then nothing changes).
    int Save(const std::filesystem::path& folder, rules::RuleList list);

  private:
    std::mutex mutex_;
    std::filesystem::path folder_;
    std::shared_ptr<const rules::RuleList> list_;
};

}  // namespace velto::calls
