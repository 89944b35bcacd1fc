#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "calls/AnsweringPanel.h"
#include "platform/Clock.h"

namespace velto::calls {

// Panels without a screen: the user's presses come from a script, at a moment after the
// panel was shown or at a fixed time. Every panel's story is kept for reports.
class ScriptedAnsweringPanels final : public AnsweringPanels {
  public:
    enum class Action { Take, Decline };

    struct Rule {
        int32_t callId = 0;         // 0: any call
        std::string partnerHandle;  // empty: any caller
        Action action = Action::Take;
        // The press comes this long after the panel is shown, or at this clock time,
        // whichever is given (`at` wins); not before the panel is shown.
        std::optional<platform::Millis> afterShown;
        std::optional<platform::Millis> at;
    };

    struct PanelStory {
        int32_t callId = 0;
        std::string partnerHandle;
        std::string text;
        std::optional<platform::Millis> shownAt;
        std::optional<platform::Millis> hiddenAt;
        std::optional<platform::Millis> pressedAt;  // when the script pressed a button
        int32_t decision = AnsweringPanel::kUndecided;
    };

    explicit ScriptedAnsweringPanels(platform::Clock& clock) : clock_(clock) {}

    // Rules are matched in the order given; each serves one panel.
    void AddRule(Rule rule);

    std::unique_ptr<AnsweringPanel> Create(PanelRequest request) override;

    std::vector<PanelStory> Stories() const;

  private:
    class Panel;
    struct Shared {
        std::mutex mutex;
        std::vector<PanelStory> stories;
    };

    platform::Clock& clock_;
    std::mutex mutex_;
    std::vector<std::pair<Rule, bool>> rules_;  // rule, used
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace velto::calls
