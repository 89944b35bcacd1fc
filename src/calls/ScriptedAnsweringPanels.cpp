#include "calls/ScriptedAnsweringPanels.h"

#include <algorithm>

namespace velto::calls {

using platform::Millis;

class ScriptedAnsweringPanels::Panel final : public AnsweringPanelModel {
  public:
    Panel(PanelRequest request, platform::Clock& clock, std::shared_ptr<Shared> shared,
          size_t story)
        : AnsweringPanelModel(std::move(request)),
          clock_(clock),
          shared_(std::move(shared)),
          story_(story) {}

    ~Panel() override {
        std::lock_guard guard(shared_->mutex);
        StopWaiting();
    }

    // Under the shared mutex: the rule found at creation, else a place among the waiting.
    void Begin(std::optional<Rule> rule) {
        rule_ = std::move(rule);
        if (!rule_) {
            shared_->waiting.push_back(this);
        }
    }

    // A rule has come: the handler pumps again. Under the shared mutex.
    void Wake() {
        if (request().wake) {
            request().wake();
        }
    }

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

    // The ringing panel's rule, if unpressed, can serve no more.
    void Screen() override {
        const Millis now = clock_.Now();
        screenedAt_ = now;
        Note([&](PanelStory& s) { s.screenedAt = now; });
        if (rule_ && !IsScreeningAction(rule_->action)) {
            rule_.reset();
            std::lock_guard guard(shared_->mutex);
            shared_->waiting.push_back(this);
        }
        AnsweringPanelModel::Screen();
    }

    void PumpMessages() override {
        if (!rule_ && Decision() == kUndecided) {
            std::lock_guard guard(shared_->mutex);
            rule_ = shared_->Claim(request().callId, request().partnerHandle, IsScreening());
            if (rule_) {
                StopWaiting();
            }
        }
        const Millis due = NextPumpDue();
        if (due == Millis::max() || clock_.Now() < due) {
            return;
        }
        Press(*rule_);
    }

    Millis NextPumpDue() const override {
        if (!rule_ || !IsShown() || Decision() != kUndecided ||
            IsScreeningAction(rule_->action) != IsScreening()) {
            return Millis::max();
        }
        const std::optional<Millis>& shown = IsScreening() ? screenedAt_ : shownAt_;
        if (rule_->at) {
            return std::max(*rule_->at, *shown);
        }
        return *shown + rule_->afterShown.value_or(Millis(0));
    }

  private:
    static bool IsScreeningAction(Action action) {
        return action == Action::Listen || action == Action::PickUp;
    }

    // The rule is used up; a screening panel looks for the next one at once.
    void Press(Rule rule) {
        const Millis now = clock_.Now();
        Note([&](PanelStory& s) {
            if (rule.action == Action::Listen) {
                s.listenPresses.push_back(now);
            } else if (rule.action == Action::PickUp) {
                s.pickedUpAt = now;
            } else {
                s.pressedAt = now;
            }
        });
        rule_.reset();
        if (IsScreening()) {
            std::lock_guard guard(shared_->mutex);
            shared_->waiting.push_back(this);
        }
        static constexpr int kButtons[] = {kTakeButton, kDeclineButton, kListenButton,
                                           kPickUpButton};
        PressButton(kButtons[static_cast<int>(rule.action)]);
    }

    template <typename F>
    void Note(F change) {
        std::lock_guard guard(shared_->mutex);
        change(shared_->stories[story_]);
    }

    void StopWaiting() { std::erase(shared_->waiting, this); }

    platform::Clock& clock_;
    std::shared_ptr<Shared> shared_;
    size_t story_;
    // Set and read on the handler's thread only.
    std::optional<Rule> rule_;
    std::optional<Millis> shownAt_;
    std::optional<Millis> screenedAt_;
};

std::optional<ScriptedAnsweringPanels::Rule> ScriptedAnsweringPanels::Shared::Claim(
    int32_t callId, const std::string& partnerHandle, bool screening) {
    for (auto& [candidate, used] : rules) {
        const bool screeningAction =
            candidate.action == Action::Listen || candidate.action == Action::PickUp;
        if (used || screeningAction != screening ||
            (candidate.callId != 0 && candidate.callId != callId) ||
            (!candidate.partnerHandle.empty() && candidate.partnerHandle != partnerHandle)) {
            continue;
        }
        used = true;
        return candidate;
    }
    return std::nullopt;
}

void ScriptedAnsweringPanels::AddRule(Rule rule) {
    std::lock_guard guard(shared_->mutex);
    shared_->rules.emplace_back(std::move(rule), false);
    for (Panel* panel : shared_->waiting) {
        panel->Wake();
    }
}

std::unique_ptr<AnsweringPanel> ScriptedAnsweringPanels::Create(PanelRequest request) {
    const int32_t callId = request.callId;
    const std::string partner = request.partnerHandle;
    std::lock_guard guard(shared_->mutex);
    const size_t story = shared_->stories.size();
    PanelStory entry{};
    entry.callId = request.callId;
    entry.partnerHandle = request.partnerHandle;
    entry.text = request.text;
    shared_->stories.push_back(std::move(entry));
    auto panel = std::make_unique<Panel>(std::move(request), clock_, shared_, story);
    panel->Begin(shared_->Claim(callId, partner, false));
    return panel;
}

std::vector<ScriptedAnsweringPanels::PanelStory> ScriptedAnsweringPanels::Stories() const {
    std::lock_guard guard(shared_->mutex);
    return shared_->stories;
}

}  // namespace velto::calls
