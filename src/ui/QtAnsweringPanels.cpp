#include "ui/QtAnsweringPanels.h"

#include "platform/Trace.h"
#include "ui/Texts.h"

namespace velto::ui {

// The UI thread's side of one panel. `model` is cleared (under the mutex) when the
// handler destroys its panel, so that a late press writes nothing.
struct QtAnsweringPanels::Window {
    std::mutex mutex;
    calls::AnsweringPanel* model = nullptr;
    QString text;
    std::unique_ptr<AnsweringPanelWindow> widget;  // UI thread only

    std::unique_ptr<ScreeningPanelWindow> screening;  // UI thread only

    void Press(int button) {
        bool shown = false;
        {
            std::lock_guard guard(mutex);
            if (model != nullptr) {
                model->PressButton(button);
                shown = model->IsShown();
            }
        }
        if (!shown) {
            Hide();
        }
    }
    void Show(const std::shared_ptr<Window>& self, int32_t language) {
        if (!widget) {
            std::weak_ptr<Window> weak = self;
            widget = std::make_unique<AnsweringPanelWindow>(text, [weak](int button) {
                if (auto window = weak.lock()) {
                    window->Press(button);
                }
            });
            widget->NameButtons(Text(i18n::TXT_TAKE_CALL, language),
                                Text(i18n::TXT_DECLINE_CALL, language));
        }
        widget->Centre();
        widget->show();
        widget->raise();
    }
    void Hide() {
        if (widget) {
            widget->hide();
        }
        if (screening) {
            screening->hide();
        }
    }
    // The machine records: the ringing window gives way to the screening one.
    void Screen(const std::shared_ptr<Window>& self, int32_t language) {
        if (widget) {
            widget->hide();
        }
        if (!screening) {
            std::weak_ptr<Window> weak = self;
            QString line = Text(i18n::TXT_SCREEN_LEAVING_MESSAGE, language);
            line.replace(QStringLiteral("%s"), text);
            screening = std::make_unique<ScreeningPanelWindow>(
                line, Text(i18n::TXT_SCREEN_LISTEN, language),
                Text(i18n::TXT_SCREEN_PICK_UP, language), [weak](int button) {
                    if (auto window = weak.lock()) {
                        window->Press(button);
                    }
                });
        }
        screening->SetListening(false);
        screening->Centre();
        screening->show();
        screening->raise();
    }
    void SetListening(bool on) {
        if (screening) {
            screening->SetListening(on);
        }
    }
};

// The handler's side: the model (the scripted panel, or a plain one) and the queued
// window operations.
class QtAnsweringPanels::Panel final : public calls::AnsweringPanel {
  public:
    Panel(QtAnsweringPanels* owner, std::unique_ptr<calls::AnsweringPanel> model,
          std::shared_ptr<Window> window)
        : ui_(owner), owner_(owner), model_(std::move(model)), window_(std::move(window)) {
        window_->model = model_.get();
    }
    ~Panel() override {
        {
            std::lock_guard guard(window_->mutex);
            window_->model = nullptr;
        }
        // The widgets go on the UI thread.
        QMetaObject::invokeMethod(
            ui_,
            [window = window_] {
                window->widget.reset();
                window->screening.reset();
            },
            Qt::QueuedConnection);
    }

    void Show() override {
        model_->Show();
        QMetaObject::invokeMethod(
            ui_, [owner = owner_, window = window_] { window->Show(window, owner->Language()); },
            Qt::QueuedConnection);
    }
    void Hide() override {
        model_->Hide();
        QMetaObject::invokeMethod(
            ui_, [window = window_] { window->Hide(); }, Qt::QueuedConnection);
    }
    bool IsShown() const override { return model_->IsShown(); }
    int32_t Decision() const override { return model_->Decision(); }
    void SetDecision(int32_t decision) override { model_->SetDecision(decision); }
    void Screen() override {
        model_->Screen();
        QMetaObject::invokeMethod(
            ui_, [owner = owner_, window = window_] { window->Screen(window, owner->Language()); },
            Qt::QueuedConnection);
    }
    bool IsScreening() const override { return model_->IsScreening(); }
    bool Listening() const override { return model_->Listening(); }
    void PressButton(int button) override {
        const bool wasShown = model_->IsShown();
        const bool wasListening = model_->Listening();
        model_->PressButton(button);
        Follow(wasShown, wasListening);
    }
    void PumpMessages() override {
        const bool wasShown = model_->IsShown();
        const bool wasListening = model_->Listening();
        model_->PumpMessages();
        Follow(wasShown, wasListening);
    }
    platform::Millis NextPumpDue() const override { return model_->NextPumpDue(); }

  private:
    // A press from elsewhere (the script) changed the model: the window follows.
    void Follow(bool wasShown, bool wasListening) {
        if (wasShown && !model_->IsShown()) {
            QMetaObject::invokeMethod(
                ui_, [window = window_] { window->Hide(); }, Qt::QueuedConnection);
        }
        if (const bool listening = model_->Listening(); listening != wasListening) {
            QMetaObject::invokeMethod(
                ui_, [window = window_, listening] { window->SetListening(listening); },
                Qt::QueuedConnection);
        }
    }

    QObject* ui_;
    QtAnsweringPanels* owner_;
    std::unique_ptr<calls::AnsweringPanel> model_;
    std::shared_ptr<Window> window_;
};

QtAnsweringPanels::QtAnsweringPanels(std::unique_ptr<calls::AnsweringPanels> script)
    : script_(std::move(script)) {}

QtAnsweringPanels::~QtAnsweringPanels() = default;

std::unique_ptr<calls::AnsweringPanel> QtAnsweringPanels::Create(calls::PanelRequest request) {
    auto window = std::make_shared<Window>();
    window->text = QString::fromStdString(request.text);
    {
        std::lock_guard guard(mutex_);
        std::erase_if(windows_, [](const std::weak_ptr<Window>& w) { return w.expired(); });
        windows_.push_back(window);
    }
    std::unique_ptr<calls::AnsweringPanel> model =
        script_ ? script_->Create(std::move(request))
                : std::make_unique<calls::AnsweringPanelModel>(std::move(request));
    return std::make_unique<Panel>(this, std::move(model), std::move(window));
}

void QtAnsweringPanels::SetLanguage(std::function<int32_t()> language) {
    language_ = std::move(language);
}

int32_t QtAnsweringPanels::Language() const {
    return language_ ? language_() : i18n::kEnglish;
}

std::vector<ScreeningPanelWindow*> QtAnsweringPanels::ShownScreeningWindows() const {
    std::vector<ScreeningPanelWindow*> shown;
    std::lock_guard guard(mutex_);
    for (const auto& weak : windows_) {
        if (auto window = weak.lock();
            window && window->screening && window->screening->isVisible()) {
            shown.push_back(window->screening.get());
        }
    }
    return shown;
}

std::vector<AnsweringPanelWindow*> QtAnsweringPanels::ShownWindows() const {
    std::vector<AnsweringPanelWindow*> shown;
    std::lock_guard guard(mutex_);
    for (const auto& weak : windows_) {
        if (auto window = weak.lock(); window && window->widget && window->widget->isVisible()) {
            shown.push_back(window->widget.get());
        }
    }
    return shown;
}

}  // namespace velto::ui
