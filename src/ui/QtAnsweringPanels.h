#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <mutex>

#include "calls/AnsweringPanel.h"
#include "ui/AnsweringPanelWindow.h"
#include "ui/ScreeningPanelWindow.h"

namespace velto::ui {

// Answering panels whose window is a Qt window on the UI thread, while the panel itself
// (the decision and whether it is shown) stays the model the call handler uses on its own
// thread. The handler's Show and Hide are queued to the UI thread; a button press there
// writes the decision through the model. With `script` given (scenario runs), the model is
// the scripted panel, so the script's presses and the window's agree.
class QtAnsweringPanels final : public QObject, public calls::AnsweringPanels {
    Q_OBJECT
  public:
    // On the UI thread.
    explicit QtAnsweringPanels(std::unique_ptr<calls::AnsweringPanels> script = nullptr);
    ~QtAnsweringPanels() override;

    // From any thread.
    std::unique_ptr<calls::AnsweringPanel> Create(calls::PanelRequest request) override;

    // The windows shown now (UI thread; tests and pictures).
    std::vector<AnsweringPanelWindow*> ShownWindows() const;
    std::vector<ScreeningPanelWindow*> ShownScreeningWindows() const;
    // The language the screening panel speaks (read on the UI thread when it shows);
    // without one, English.
    void SetLanguage(std::function<int32_t()> language);
    int32_t Language() const;

    calls::AnsweringPanels* script() const { return script_.get(); }

  private:
    class Panel;
    struct Window;

    std::unique_ptr<calls::AnsweringPanels> script_;
    std::function<int32_t()> language_;  // UI thread
    mutable std::mutex mutex_;
    std::vector<std::weak_ptr<Window>> windows_;
};

}  // namespace velto::ui
