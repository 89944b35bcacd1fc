#pragma once

#include <memory>
#include <optional>

#include "app/FrontEnd.h"
#include "headless/HeadlessMainWindow.h"
#include "i18n/ConfiguredLanguageChooser.h"
#include "platform/Clock.h"

namespace velto::app {

// The front end of runs without a screen (tests, velto-scenario, velto --headless): a
// main window that traces its messages, boxes on standard error with configured answers,
// a configured first-start language, and scripted answering panels unless others are given.
class HeadlessFrontEnd final : public FrontEnd {
  public:
    struct Options {
        // The first-start language; nothing: the dialog's preselection.
        std::optional<int32_t> language;
        // Null: the user's browser (xdg-open).
        std::unique_ptr<platform::UrlOpener> urlOpener;
        // Null: scripted panels on `clock` without rules (the user never decides).
        std::unique_ptr<calls::AnsweringPanels> answeringPanels;
    };

    HeadlessFrontEnd(platform::Clock& clock, Options options);

    platform::MessageBoxes& boxes() override { return boxes_; }
    i18n::LanguageChooser& languageChooser() override { return chooser_; }
    calls::AnsweringPanels& answeringPanels() override { return *panels_; }
    platform::UrlOpener& urlOpener() override { return *urlOpener_; }

    void Bind(Application& application) override;
    platform::WindowHandle CreateMainWindow() override;
    void ShowMainWindow(bool hidden) override;
    void DestroyMainWindow() override;
    void Run(platform::MessageLoop& loop) override;

    platform::HeadlessMessageBoxes& headlessBoxes() { return boxes_; }
    headless::HeadlessMainWindow& mainWindow() { return *mainWindow_; }

  private:
    platform::HeadlessMessageBoxes boxes_;
    i18n::ConfiguredLanguageChooser chooser_;
    std::unique_ptr<calls::AnsweringPanels> panels_;
    std::unique_ptr<platform::UrlOpener> urlOpener_;
    std::unique_ptr<headless::HeadlessMainWindow> mainWindow_;
};

}  // namespace velto::app
