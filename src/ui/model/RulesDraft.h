#pragma once

#include "rules/Rule.h"

namespace velto::ui {

// The rules as the options dialog's Rules page shows them: changed in memory as the user
// clicks, written by the page only on OK.
class RulesDraft {
  public:
    explicit RulesDraft(rules::RuleList rules = {});

    const rules::RuleList& rules() const { return rules_; }
    int size() const { return static_cast<int>(rules_.size()); }
    // Inserts `rule` after `after` (at the end when `after` is not a row); returns its row.
    int Add(rules::Rule rule, int after = -1);
    void Replace(int row, rules::Rule rule);
    void Remove(int row);
    // Moves the rule one place; returns its new row (unchanged at either end).
    int MoveUp(int row);
    int MoveDown(int row);
    void SetEnabled(int row, bool enabled);
    // Whether the list differs from the one it was made with, as the file would hold it.
    bool Changed() const;

  private:
    bool Valid(int row) const { return row >= 0 && row < size(); }

    rules::RuleList original_;
    rules::RuleList rules_;
};

}  // namespace velto::ui
