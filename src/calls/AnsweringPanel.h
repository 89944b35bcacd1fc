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

    // The machine records the caller: the panel shows "Leaving a message: NAME" with
    // Listen and Pick up, the decision is undecided again, and Pick up takes the call.
    virtual void Screen() = 0;
    virtual bool IsScreening() const = 0;
    // Whether the user wants to hear the caller while the message is recorded.
    virtual bool Listening() const = 0;
    // A press of one of the panel's buttons, as the user makes it.
    virtual void PressButton(int button) = 0;

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
    // The screening panel's two buttons.
    static constexpr int kListenButton = 1061;
    static constexpr int kPickUpButton = 1062;

    explicit AnsweringPanelModel(PanelRequest request) : request_(std::move(request)) {}

    void Show() override { shown_.store(true); }
    void Hide() override { shown_.store(false); }
    bool IsShown() const override { return shown_.load(); }
    int32_t Decision() const override { return decision_.load(); }
    void SetDecision(int32_t decision) override {
        decision_.store(decision);
        Wake();
    }

    // Shown again, in the other form (not a Show: the ringing panel's showing is over).
    void Screen() override {
        listening_.store(false);
        screening_.store(true);
        decision_.store(kUndecided);
        shown_.store(true);
    }
    bool IsScreening() const override { return screening_.load(); }
    bool Listening() const override { return listening_.load(); }

    // A button press: 1060 takes the call, 1059 declines it; either hides the panel. While
    // the machine records: Listen turns listening on or off again, Pick up (1062) takes
    // the call and hides the panel.
    void PressButton(int button) override {
        const bool screening = screening_.load();
        if (screening && button == kListenButton) {
            listening_.store(!listening_.load());
            Wake();
            return;
        }
        const bool ringing = button == kTakeButton || button == kDeclineButton;
        if ((screening && button != kPickUpButton) || (!screening && !ringing)) {
            return;
        }
        Hide();
        SetDecision(button == kDeclineButton ? kDecline : kTake);
    }

    const PanelRequest& request() const { return request_; }

  private:
    void Wake() {
        if (request_.wake) {
            request_.wake();
        }
    }

    PanelRequest request_;
    std::atomic<bool> shown_{false};
    std::atomic<int32_t> decision_{kUndecided};
    std::atomic<bool> screening_{false};
    std::atomic<bool> listening_{false};
};

}  // namespace velto::calls
