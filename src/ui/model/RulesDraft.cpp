#include "ui/model/RulesDraft.h"

#include <utility>

#include "rules/RulesCodec.h"

namespace velto::ui {

RulesDraft::RulesDraft(rules::RuleList rules) : original_(rules), rules_(std::move(rules)) {}

int RulesDraft::Add(rules::Rule rule, int after) {
    const int row = Valid(after) ? after + 1 : size();
    rules_.insert(rules_.begin() + row, std::move(rule));
    return row;
}

void RulesDraft::Replace(int row, rules::Rule rule) {
    if (Valid(row)) {
        rules_[static_cast<size_t>(row)] = std::move(rule);
    }
}

void RulesDraft::Remove(int row) {
    if (Valid(row)) {
        rules_.erase(rules_.begin() + row);
    }
}

int RulesDraft::MoveUp(int row) {
    if (!Valid(row) || row == 0) {
        return row;
    }
    std::swap(rules_[static_cast<size_t>(row)], rules_[static_cast<size_t>(row - 1)]);
    return row - 1;
}

int RulesDraft::MoveDown(int row) {
    if (!Valid(row) || row + 1 == size()) {
        return row;
    }
    std::swap(rules_[static_cast<size_t>(row)], rules_[static_cast<size_t>(row + 1)]);
    return row + 1;
}

void RulesDraft::SetEnabled(int row, bool enabled) {
    if (Valid(row)) {
        rules_[static_cast<size_t>(row)].enabled = enabled;
    }
}

bool RulesDraft::Changed() const {
    return rules::EncodeRules(rules_) != rules::EncodeRules(original_);
}

}  // namespace velto::ui
