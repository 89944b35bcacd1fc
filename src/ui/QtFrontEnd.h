#pragma once

#include <QMessageBox>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/FrontEnd.h"
#include "ui/ContactEditor.h"
#include "ui/DesktopNotifier.h"
#include "ui/ForTestDialog.h"
#include "ui/LanguageSelectionDialog.h"
#include "ui/QtAnsweringPanels.h"
#include "ui/QtLoopBridge.h"
#include "ui/QtMessageBoxes.h"
#include "ui/SipAccountView.h"

namespace velto::ui {

// The desktop front end on Qt Widgets. Make it on the UI thread after the QApplication,
// and hand it to the application.
class QtFrontEnd final : public app::FrontEnd {
  public:
    struct Options {
        // False (scenario pictures, tests): message boxes do not wait and the first-start
        // language comes from `language` instead of the dialog.
        bool interactive = true;
        std::optional<int32_t> language;
        // Null: the user's browser (xdg-open).
        std::unique_ptr<platform::UrlOpener> urlOpener;
        // Scripted panels whose presses the windows follow (scenario runs); null: the user
        // decides on the windows.
        std::unique_ptr<calls::AnsweringPanels> script;
        // Scheme, host and port of the web panels; nothing: the communication server's
        // host on its web port; empty: no web pages are fetched.
        std::optional<std::string> webBase;
        // The bus of the desktop's notifications (ConnectSessionBus for the user's); null:
        // missed calls are told by the tray's balloon only.
        DesktopNotifier::BusConnector notificationBus;
        // The SIP backend's contact file, which the contact list then edits; nothing: the
        // contacts are the client's own and cannot be edited here.
        std::optional<std::filesystem::path> contactsFile;
        // The SIP backend's account: the window then shows its registration and the
        // options have its page; null: the simulated client's texts.
        std::shared_ptr<skype::sip::AccountLink> sipAccount;
        // Where the Account page saves the password; empty: the system keyring.
        SipAccountView::KeyringMaker keyring;
    };

    explicit QtFrontEnd(Options options);
    ~QtFrontEnd() override;

    platform::MessageBoxes& boxes() override { return boxes_; }
    i18n::LanguageChooser& languageChooser() override { return chooser_; }
    calls::AnsweringPanels& answeringPanels() override { return panels_; }
    platform::UrlOpener& urlOpener() override { return *urlOpener_; }

    void Bind(app::Application& application) override;
    platform::WindowHandle CreateMainWindow() override;
    void ShowMainWindow(bool hidden) override;
    void DestroyMainWindow() override;
    void Run(platform::MessageLoop& loop) override;

    // Scheme, host and port of the web panels as the main window uses them (empty: none).
    const std::string& webBase() const { return webBase_; }
    // The application once bound (scenario runs drive its windows).
    app::Application* application() const { return app_; }
    // The main window while it exists.
    ForTestDialog* mainWindow() { return mainWindow_.get(); }
    // The contact editor while the main window exists (the SIP backend only), else null.
    ContactEditor* contactEditor() { return contactEditor_; }
    QtAnsweringPanels& panels() { return panels_; }
    QtMessageBoxes& qtBoxes() { return boxes_; }
    // The bridge from Bind on (benchmarks count its drains).
    QtLoopBridge* bridge() { return bridge_.get(); }
    // The desktop's notifications while the main window exists.
    DesktopNotifier* notifier() { return notifier_.get(); }
    // The offer of a first start without an account while it is shown, else null.
    QMessageBox* accountOffer() { return accountOffer_; }

  private:
    void MakeNotifier();
    // A first start without a SIP account: the set-up is offered (and the demo named).
    void OfferAccountSetUp();
    // On the UI thread: the notice of a missed call, in the language shown.
    void Notify(const calls::MissedCall& record);

    Options options_;
    QtMessageBoxes boxes_;
    QtLanguageChooser chooser_;
    QtAnsweringPanels panels_;
    std::unique_ptr<platform::UrlOpener> urlOpener_;
    app::Application* app_ = nullptr;
    std::string webBase_;
    std::unique_ptr<ForTestDialog> mainWindow_;
    std::unique_ptr<DesktopNotifier> notifier_;
    ContactEditor* contactEditor_ = nullptr;  // owned by the main window
    QPointer<QMessageBox> accountOffer_;
    std::unique_ptr<QtLoopBridge> bridge_;
};

}  // namespace velto::ui
