#include "ui/QtAnsweringPanels.h"

#include "platform/Trace.h"

namespace velto::ui {

// The UI thread's side of one panel. `model` is cleared (under the mutex) when the
// handler destroys its panel, so that a late press writes nothing.
struct QtAnsweringPanels::Window {
    std::mutex mutex;
    calls::AnsweringPanel* model = nullptr;
    QString text;
    std::unique_ptr<AnsweringPanelWindow> widget;  // UI thread only

    void Press(int button) {
        {
            std::lock_guard guard(mutex);
            if (model != nullptr) {
                model->Hide();
                model->SetDecision(button == calls::AnsweringPanelModel::kTakeButton
                                       ? calls::AnsweringPanel::kTake
                                       : calls::AnsweringPanel::kDecline);
            }
        }
        if (widget) {
            widget->hide();
        }
    }
    void Show(const std::shared_ptr<Window>& self) {
        if (!widget) {
            std::weak_ptr<Window> weak = self;
            widget = std::make_unique<AnsweringPanelWindow>(text, [weak](int button) {
                if (auto window = weak.lock()) {
                    window->Press(button);
                }
            });
        }
        widget->Centre();
        widget->show();
        widget->raise();
    }
    void Hide() {
        if (widget) {
            widget->hide();
        }
    }
};

// The handler's side: the model (the scripted panel, or a plain one) and the queued
// window operations.
class QtAnsweringPanels::Panel final : public calls::AnsweringPanel {
  public:
    Panel(QObject* ui, std::unique_ptr<calls::AnsweringPanel> model, std::shared_ptr<Window> window)
        : ui_(ui), model_(std::move(model)), window_(std::move(window)) {
        window_->model = model_.get();
    }
    ~Panel() override {
        {
            std::lock_guard guard(window_->mutex);
            window_->model = nullptr;
        }
        // The widget goes on the UI thread.
        QMetaObject::invokeMethod(
            ui_, [window = window_] { window->widget.reset(); }, Qt::QueuedConnection);
    }

    void Show() override {
        model_->Show();
        QMetaObject::invokeMethod(
            ui_, [window = window_] { window->Show(window); }, Qt::QueuedConnection);
    }
    void Hide() override {
        model_->Hide();
        QMetaObject::invokeMethod(
            ui_, [window = window_] { window->Hide(); }, Qt::QueuedConnection);
    }
    bool IsShown() const override { return model_->IsShown(); }
    int32_t Decision() const override { return model_->Decision(); }
    void SetDecision(int32_t decision) override { model_->SetDecision(decision); }
    void PumpMessages() override {
        const bool wasShown = model_->IsShown();
        model_->PumpMessages();
        // A scripted press hides the model: the window follows.
        if (wasShown && !model_->IsShown()) {
            QMetaObject::invokeMethod(
                ui_, [window = window_] { window->Hide(); }, Qt::QueuedConnection);
        }
    }
    platform::Millis NextPumpDue() const override { return model_->NextPumpDue(); }

  private:
    QObject* ui_;
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
