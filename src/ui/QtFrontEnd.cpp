#include "ui/QtFrontEnd.h"

#include <QPushButton>

#include "app/Application.h"
#include "callapi/AutomationError.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "server/ServerAddress.h"
#include "sipaccount/KeyringPasswordStore.h"
#include "sipaccount/SipSettings.h"
#include "ui/DarkOutlineStyle.h"
#include "ui/DialogDriver.h"
#include "ui/OptionDialog.h"
#include "ui/PartnerList.h"
#include "ui/Texts.h"

namespace velto::ui {

QtFrontEnd::QtFrontEnd(Options options)
    : options_(std::move(options)),
      boxes_(options_.interactive),
      chooser_(options_.interactive ? options_.language
                                    : std::optional<int32_t>(options_.language.value_or(3))),
      panels_(std::move(options_.script)),
      urlOpener_(options_.urlOpener ? std::move(options_.urlOpener)
                                    : std::make_unique<platform::XdgUrlOpener>()) {}

QtFrontEnd::~QtFrontEnd() {
    notifier_.reset();
    mainWindow_.reset();
    bridge_.reset();
}

void QtFrontEnd::Bind(app::Application& application) {
    app_ = &application;
    DarkOutlineStyle::InstallOverFusion();
    panels_.SetLanguage([this] { return ShownLanguage(app_->state()); });
    // From here on Qt's loop drives the program's: also inside the dialogs of start-up
    // (the first-start language question), so that a quit reaches them.
    bridge_ = std::make_unique<QtLoopBridge>(application.loop());
}

platform::WindowHandle QtFrontEnd::CreateMainWindow() {
    const std::string webBase =
        options_.webBase.value_or("http://" + app_->serverLink().settings().host + ":" +
                                  std::to_string(server::kServerWebPort));
    webBase_ = webBase;
    mainWindow_ = std::make_unique<ForTestDialog>(*app_, webBase);
    boxes_.SetOwner(mainWindow_.get());
    // The contact list fills the main window's slot and takes the core's list messages.
    auto* list = new PartnerList(*app_);
    mainWindow_->contactListSlot()->SetContent(list);
    if (options_.contactsFile) {
        contactEditor_ = new ContactEditor(*app_, *options_.contactsFile, mainWindow_.get());
        contactEditor_->Load();
        list->SetContactEditor(contactEditor_);
    }
    app_->contactUpdates().SetContactList({.window = [list] { return list->handle(); },
                                           .rebuildAndShow = [list] { list->Rebuild(); }});
    mainWindow_->SetOptionsOpener(
        [this] { DialogDriver::OpenOptions(*app_, mainWindow_.get(), 0); });
    mainWindow_->SetMissedCallOpener(
        [this, list] { DialogDriver::OpenMissedCalls(*app_, mainWindow_.get(), list); });
    if (options_.sipAccount) {
        SipAccountView::KeyringMaker keyring = options_.keyring;
        if (!keyring) {
            keyring = [&clock = app_->clock()](const skype::sip::PasswordItem& item) {
                return skype::sip::SystemKeyring(clock, item);
            };
        }
        auto* view = new SipAccountView(options_.sipAccount, std::move(keyring), mainWindow_.get());
        mainWindow_->SetSipAccount(view, [this] {
            DialogDriver::OpenOptions(*app_, mainWindow_.get(), OptionDialog::kAccount);
        });
    }
    MakeNotifier();
    return mainWindow_->handle();
}

void QtFrontEnd::MakeNotifier() {
    DesktopNotifier::Actions actions;
    actions.play = [this](const calls::MissedCall& record) {
        const std::filesystem::path file(platform::Utf16ToUtf8(record.voiceFile));
        platform::Trace("Notifications: plays the message %s\n", file.c_str());
        app_->soundPlayer().Play(file, {}, 0);
    };
    actions.openCallList = [this] { mainWindow_->OpenMissedCallsFromTray(); };
    actions.balloon = [this](const QString& title, const QString& body) {
        mainWindow_->tray()->ShowBalloon(title, body);
    };
    notifier_ = std::make_unique<DesktopNotifier>(app_->workers(), app_->loop(),
                                                  options_.notificationBus, std::move(actions));
    // Records come from the call handlers' threads; the notice is made on the UI thread,
    // where the Skype object answers.
    app_->missedCalls().SetAddedListener([this](const calls::MissedCall& record) {
        app_->loop().Post([this, record] { Notify(record); });
    });
}

void QtFrontEnd::Notify(const calls::MissedCall& record) {
    if (!notifier_) {
        return;
    }
    ContactList contacts;
    if (const auto skype = app_->skypeLink().SkypeObject()) {
        try {
            contacts = ReadContacts(*skype);
        } catch (const skype::AutomationError& error) {
            platform::Trace("Notifications: cannot read the contacts: %u(%x)\n",
                            error.unsignedCode(), error.unsignedCode());
        }
    }
    notifier_->Show(MakeMissedCallNotice(record, contacts, ShownLanguage(app_->state())));
}

void QtFrontEnd::ShowMainWindow(bool hidden) {
    if (mainWindow_ && !hidden) {
        mainWindow_->show();
        mainWindow_->raise();
    }
    if (mainWindow_ && options_.sipAccount && chooser_.asked() &&
        !skype::sip::SipIdentityConfigured(app_->registry())) {
        OfferAccountSetUp();
    }
}

void QtFrontEnd::OfferAccountSetUp() {
    const int32_t language = ShownLanguage(app_->state());
    // Not modal: the program goes on (and quits) while it is shown.
    auto* offer = new QMessageBox(QMessageBox::Question, QStringLiteral("Velto"),
                                  Text(i18n::TXT_SIP_WELCOME, language), QMessageBox::NoButton,
                                  mainWindow_.get());
    offer->setObjectName(QStringLiteral("AccountOffer"));
    offer->setAttribute(Qt::WA_DeleteOnClose);
    offer->setWindowModality(Qt::NonModal);  // a message box is modal unless told
    QPushButton* setUp =
        offer->addButton(Text(i18n::TXT_SIP_SET_UP, language), QMessageBox::AcceptRole);
    offer->addButton(Text(i18n::TXT_LATER, language), QMessageBox::RejectRole);
    offer->setDefaultButton(setUp);
    QObject::connect(setUp, &QPushButton::clicked, mainWindow_.get(), [this] {
        DialogDriver::OpenOptions(*app_, mainWindow_.get(), OptionDialog::kAccount);
    });
    accountOffer_ = offer;
    platform::Trace("MainWindow: a first start without a SIP account: the set-up is offered\n");
    offer->show();
}

void QtFrontEnd::DestroyMainWindow() {
    if (app_ != nullptr) {
        app_->contactUpdates().SetContactList({});
        app_->missedCalls().SetAddedListener({});
    }
    notifier_.reset();
    boxes_.SetOwner(nullptr);
    contactEditor_ = nullptr;
    mainWindow_.reset();
}

void QtFrontEnd::Run(platform::MessageLoop&) {
    bridge_->Exec();
}

}  // namespace velto::ui
