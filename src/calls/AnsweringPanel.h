#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Clock.h"

namespace velto::calls {

// The small panel that rings the user while a call's tone plays, and holds the user's
// decision. The call handler creates it on its own thread, shows it, pumps it while the
// call rings, reads the decision, and hides it (writing 2) when the call ends without
// the user.
class AnsweringPanel {
  public:
    static constexpr int32_t kUndecided = -1;
    static constexpr int32_t kTake = 1;
    static constexpr int32_t kDecline = 2;

    virtual ~AnsweringPanel() = default;

    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool IsShown() const = 0;
    virtual int32_t Decision() const = 0;
    virtual void SetDecision(int32_t decision) = 0;

    // Handles whatever is pending for the panel on the handler's thread (its messages).
    virtual void PumpMessages() {}
    // When the panel next needs PumpMessages (a timer of its own); Millis::max() for never.
    virtual platform::Millis NextPumpDue() const { return platform::Millis::max(); }
};

// What a new panel shows and whom it wakes.
struct PanelRequest {
    int32_t callId = 0;
    std::string partnerHandle;
    std::string text;  // the caller's display name (UTF-8)
    // Called (from any thread) after the decision changed, so that the handler stops
    // waiting at once.
    std::function<void()> wake;
};

// Makes the panels: the GUI's, or the headless one of scripted runs.
class AnsweringPanels {
  public:
    virtual ~AnsweringPanels() = default;
    virtual std::unique_ptr<AnsweringPanel> Create(PanelRequest request) = 0;
};

// The panel's state without any drawing: decision and visibility, and the two buttons.
// Front ends derive their panels from it.
class AnsweringPanelModel : public AnsweringPanel {
  public:
    static constexpr int kTakeButton = 1060;
    static constexpr int kDeclineButton = 1059;

    explicit AnsweringPanelModel(PanelRequest request) : request_(std::move(request)) {}

    void Show() override { shown_.store(true); }
    void Hide() override { shown_.store(false); }
    bool IsShown() const override { return shown_.load(); }
    int32_t Decision() const override { return decision_.load(); }
    void SetDecision(int32_t decision) override {
        decision_.store(decision);
        if (request_.wake) {
            request_.wake();
        }
    }

    // A button press: 1060 takes the call, 1059 declines it; either hides the panel.
    void PressButton(int button) {
        if (button != kTakeButton && button != kDeclineButton) {
            return;
        }
        Hide();
        SetDecision(button == kTakeButton ? kTake : kDecline);
    }

    const PanelRequest& request() const { return request_; }

  private:
    PanelRequest request_;
    std::atomic<bool> shown_{false};
    std::atomic<int32_t> decision_{kUndecided};
};

}  // namespace velto::calls
