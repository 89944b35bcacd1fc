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
// panel was shown or at a fixed time. A rule given while a panel already shows serves it
// too: waiting panels are woken and look for their rule when next pumped. Take and
// Decline serve the ringing panel; Listen and PickUp the panel that shows while the
// machine records, one rule after the other. Every panel's story is kept for reports.
class ScriptedAnsweringPanels final : public AnsweringPanels {
  public:
    enum class Action { Take, Decline, Listen, PickUp };

    struct Rule {
        int32_t callId = 0;         // 0: any call
        std::string partnerHandle;  // empty: any caller
        Action action = Action::Take;
        // The press comes this long after the panel is shown (for Listen and PickUp: in
        // its screening form), or at this clock time, whichever is given (`at` wins); not
        // before the panel is shown.
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
        // While the machine recorded: when the panel showed so, the presses of Listen, and
        // the press of Pick up.
        std::optional<platform::Millis> screenedAt;
        std::vector<platform::Millis> listenPresses;
        std::optional<platform::Millis> pickedUpAt;
    };

    explicit ScriptedAnsweringPanels(platform::Clock& clock) : clock_(clock) {}

    // Rules are matched in the order given; each serves one panel. Wakes the handlers of the
    // panels still waiting for a rule.
    void AddRule(Rule rule);

    std::unique_ptr<AnsweringPanel> Create(PanelRequest request) override;

    std::vector<PanelStory> Stories() const;

  private:
    class Panel;
    // Shared with the panels, which may outlive this object.
    struct Shared {
        std::mutex mutex;
        std::vector<PanelStory> stories;
        std::vector<std::pair<Rule, bool>> rules;  // rule, used
        std::vector<Panel*> waiting;               // live panels without a rule

        // The first unused rule for the call, of the ringing panel's actions or of the
        // screening panel's, marked used. Under `mutex`.
        std::optional<Rule> Claim(int32_t callId, const std::string& partnerHandle, bool screening);
    };

    platform::Clock& clock_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace velto::calls
