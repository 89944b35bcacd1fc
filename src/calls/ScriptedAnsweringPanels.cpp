#include "calls/ScriptedAnsweringPanels.h"

namespace velto::calls {

using platform::Millis;

class ScriptedAnsweringPanels::Panel final : public AnsweringPanelModel {
  public:
    Panel(PanelRequest request, platform::Clock& clock, std::optional<Rule> rule,
          std::shared_ptr<Shared> shared, size_t story)
        : AnsweringPanelModel(std::move(request)),
          clock_(clock),
          rule_(std::move(rule)),
          shared_(std::move(shared)),
          story_(story) {}

    void Show() override {
        AnsweringPanelModel::Show();
        const Millis now = clock_.Now();
        if (!shownAt_) {
            shownAt_ = now;
        }
        Note([&](PanelStory& s) { s.shownAt = s.shownAt.value_or(now); });
    }

    void Hide() override {
        const bool wasShown = IsShown();
        AnsweringPanelModel::Hide();
        if (wasShown) {
            const Millis now = clock_.Now();
            Note([&](PanelStory& s) { s.hiddenAt = now; });
        }
    }

    void SetDecision(int32_t decision) override {
        AnsweringPanelModel::SetDecision(decision);
        Note([&](PanelStory& s) { s.decision = decision; });
    }

    void PumpMessages() override {
        const Millis due = NextPumpDue();
        if (due == Millis::max() || clock_.Now() < due) {
            return;
        }
        pressed_ = true;
        const Millis now = clock_.Now();
        Note([&](PanelStory& s) { s.pressedAt = now; });
        PressButton(rule_->action == Action::Take ? kTakeButton : kDeclineButton);
    }

    Millis NextPumpDue() const override {
        if (!rule_ || pressed_ || !shownAt_ || !IsShown() || Decision() != kUndecided) {
            return Millis::max();
        }
        if (rule_->at) {
            return std::max(*rule_->at, *shownAt_);
        }
        return *shownAt_ + rule_->afterShown.value_or(Millis(0));
    }

  private:
    template <typename F>
    void Note(F change) {
        std::lock_guard guard(shared_->mutex);
        change(shared_->stories[story_]);
    }

    platform::Clock& clock_;
    std::optional<Rule> rule_;
    std::shared_ptr<Shared> shared_;
    size_t story_;
    std::optional<Millis> shownAt_;
    bool pressed_ = false;
};

void ScriptedAnsweringPanels::AddRule(Rule rule) {
    std::lock_guard guard(mutex_);
    rules_.emplace_back(std::move(rule), false);
}

std::unique_ptr<AnsweringPanel> ScriptedAnsweringPanels::Create(PanelRequest request) {
    std::optional<Rule> rule;
    {
        std::lock_guard guard(mutex_);
        for (auto& [candidate, used] : rules_) {
            if (used || (candidate.callId != 0 && candidate.callId != request.callId) ||
                (!candidate.partnerHandle.empty() &&
                 candidate.partnerHandle != request.partnerHandle)) {
                continue;
            }
            used = true;
            rule = candidate;
            break;
        }
    }
    size_t story = 0;
    {
        std::lock_guard guard(shared_->mutex);
        story = shared_->stories.size();
        shared_->stories.push_back(
            PanelStory{request.callId, request.partnerHandle, request.text, {}, {}, {}, -1});
    }
    return std::make_unique<Panel>(std::move(request), clock_, std::move(rule), shared_, story);
}

std::vector<ScriptedAnsweringPanels::PanelStory> ScriptedAnsweringPanels::Stories() const {
    std::lock_guard guard(shared_->mutex);
    return shared_->stories;
}

}  // namespace velto::calls
