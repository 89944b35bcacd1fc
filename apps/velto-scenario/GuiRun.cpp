#include "velto-scenario/GuiRun.h"

#include <stdlib.h>

#include <QApplication>
#include <QPainter>
#include <chrono>
#include <map>

#include "sipaccount/AccountLink.h"
#include "sipaccount/PasswordStore.h"
#include "ui/Colours.h"
#include "ui/DialogDriver.h"
#include "ui/ForTestDialog.h"
#include "ui/FrontEndVerbs.h"
#include "ui/LanguageSelectionDialog.h"
#include "ui/PartnerList.h"
#include "ui/QtFrontEnd.h"

namespace velto::scenario {

struct GuiRun::State {
    std::unique_ptr<QApplication> qt;
    std::filesystem::path shots;
    std::unique_ptr<ui::LanguageSelectionDialog> languageDialog;
    ui::QtFrontEnd* shown = nullptr;
    std::shared_ptr<skype::sip::AccountLink> link;
};

GuiRun::GuiRun(int& argc, char** argv, std::filesystem::path shotsDir, bool dark, bool sipAccount)
    : state_(std::make_unique<State>()) {
    if (sipAccount) {
        state_->link = std::make_shared<skype::sip::AccountLink>();
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    state_->qt = std::make_unique<QApplication>(argc, argv);
    if (dark) {
        QApplication::setPalette(ui::DarkPalette());
    }
    QApplication::setQuitOnLastWindowClosed(false);
    state_->shots = std::move(shotsDir);
}

GuiRun::~GuiRun() {
    state_->languageDialog.reset();
}

namespace {

// A window as the screen shows it: outside its mask nothing (a widget grab fills it).
QImage Picture(QWidget* window) {
    QImage image = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (!window->mask().isEmpty()) {
        QImage shaped(image.size(), QImage::Format_ARGB32);
        shaped.fill(Qt::transparent);
        QPainter painter(&shaped);
        painter.setClipRegion(window->mask());
        painter.drawImage(0, 0, image);
        return shaped;
    }
    return image;
}

QString WindowName(QWidget* window, int index) {
    if (!window->objectName().isEmpty()) {
        return window->objectName();
    }
    return QString::fromLatin1(window->metaObject()->className()).section(QLatin1Char(':'), -1) +
           (index > 0 ? QString::number(index) : QString());
}

// The scenario's account has its password nowhere but here.
class MemoryKeyring final : public skype::sip::PasswordStore {
  public:
    std::string Place() const override { return skype::sip::kKeyringPlace; }
    skype::sip::PasswordOutcome Read() override { return skype::sip::PasswordOutcome::Absent(); }
    skype::sip::PasswordOutcome Write(const std::string&) override {
        return skype::sip::PasswordOutcome::Done();
    }
    skype::sip::PasswordOutcome Erase() override { return skype::sip::PasswordOutcome::Done(); }
};

// "sip-state PHASE [REASON]": what the backend would tell of the account at
// sip.example.org over TLS (registered now; a failure tried again in 30 s).
bool SetSipState(skype::sip::AccountLink* link, const std::vector<std::string>& args,
                 std::string& why) {
    using Phase = skype::sip::RegistrationState::Phase;
    static const std::map<std::string, Phase> kPhases = {{"not-set-up", Phase::NotSetUp},
                                                         {"registering", Phase::Registering},
                                                         {"registered", Phase::Registered},
                                                         {"direct", Phase::Direct},
                                                         {"failed", Phase::Failed}};
    const auto phase = kPhases.find(args[0]);
    if (link == nullptr || phase == kPhases.end()) {
        why = link == nullptr ? "sip-state needs --sip-account"
                              : "sip-state is one of not-set-up, registering, registered, "
                                "direct, failed";
        return false;
    }
    skype::sip::RegistrationState state;
    state.phase = phase->second;
    state.proxy = "sip:sip.example.org;transport=tls";
    state.transport = "TLS";
    state.reason = args.size() > 1 ? args[1] : std::string();
    state.when =
        std::chrono::system_clock::now() +
        (state.phase == Phase::Failed ? std::chrono::seconds(30) : std::chrono::seconds(0));
    state.expires = 600;
    link->Publish(state);
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
    return true;
}

}  // namespace

void GuiRun::Apply(RunOptions& options) {
    State* state = state_.get();
    options.frontEnd = [state](std::unique_ptr<calls::AnsweringPanels> script,
                               std::unique_ptr<platform::UrlOpener> browser, int32_t language) {
        ui::QtFrontEnd::Options front;
        front.interactive = false;
        front.language = language;
        front.urlOpener = std::move(browser);
        front.script = std::move(script);
        front.webBase = std::string();
        if (state->link) {
            front.sipAccount = state->link;
            front.keyring = [](const skype::sip::PasswordItem&) {
                return std::make_unique<MemoryKeyring>();
            };
        }
        auto made = std::make_unique<ui::QtFrontEnd>(std::move(front));
        state->shown = made.get();
        return made;
    };
    options.pump = [] { QApplication::processEvents(); };
    options.guiVerb = [state, &options](const Step& step, std::string& why) {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
        }
        if (step.verb == "open" && !step.args.empty() && step.args[0] == "language-dialog") {
            state->languageDialog = std::make_unique<ui::LanguageSelectionDialog>();
            state->languageDialog->show();
            QApplication::processEvents();
            return true;
        }
        if (step.verb == "sip-state") {
            return SetSipState(state->link.get(), step.args, why);
        }
        if (step.verb != "shot") {
            if (!ui::DialogDriver::Knows(step.verb)) {
                why = "unknown window verb " + step.verb;
                return false;
            }
            return ui::DriveFrontEnd(state->shown, options.scenarioDir, step.verb, step.args, why);
        }
        std::error_code error;
        std::filesystem::create_directories(state->shots, error);
        int index = 0;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || window->inherits("QMenu") ||
                window->windowType() == Qt::ToolTip) {
                continue;
            }
            const QString name = WindowName(window, index++);
            const auto file = state->shots / (step.args[0] + "-" + name.toStdString() + ".png");
            if (!Picture(window).save(QString::fromStdString(file.string()))) {
                why = "cannot write " + file.string();
                return false;
            }
        }
        return true;
    };
}

}  // namespace velto::scenario
