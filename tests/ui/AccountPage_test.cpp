// The SIP account in the windows: the main window's states, the Account page's checks and
// its save (on a worker, with the password in the keyring), and the backend told to take it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <atomic>
#include <ctime>
#include <functional>
#include <map>

#include "UiFixture.h"
#include "sipaccount/AccountForm.h"
#include "sipaccount/HivePasswordStore.h"
#include "sipaccount/SipSettings.h"
#include "support/FakePasswordStore.h"
#include "ui/DialogDriver.h"
#include "ui/OptionAccountPanel.h"
#include "ui/OptionDialog.h"
#include "ui/Texts.h"

namespace velto::ui::test {
namespace {

namespace sip = skype::sip;
using Phase = sip::RegistrationState::Phase;

// The test's keyring, shared by every store the page makes.
class SharedKeyring final : public sip::PasswordStore {
  public:
    explicit SharedKeyring(std::shared_ptr<velto::test::FakeStore> inner)
        : inner_(std::move(inner)) {}
    std::string Place() const override { return inner_->Place(); }
    sip::PasswordOutcome Read() override { return inner_->Read(); }
    sip::PasswordOutcome Write(const std::string& password) override {
        return inner_->Write(password);
    }
    sip::PasswordOutcome Erase() override { return inner_->Erase(); }

  private:
    std::shared_ptr<velto::test::FakeStore> inner_;
};

sip::RegistrationState State(Phase phase, std::string reason = {}) {
    sip::RegistrationState state;
    state.phase = phase;
    state.proxy = "sip:registrar.example.org:5070;transport=tcp";
    state.transport = "TCP";
    state.reason = std::move(reason);
    return state;
}

// HH:MM:SS of the local clock, worked out apart from the program's own formatting.
QString LocalTime(platform::WallTime when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    return QString::asprintf("%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
}

class AccountPageTest : public UiFixture {
  protected:
    void Start() {
        link->SetReloader([this] { ++reloads; });
        QtFrontEnd::Options options;
        options.sipAccount = link;
        options.keyring = [account = keyring, turn = turnKeyring](const sip::PasswordItem& item) {
            return std::make_unique<SharedKeyring>(
                std::string_view(item.hiveValue) == sip::kTurnPassword.hiveValue ? turn : account);
        };
        StartApp(false, std::move(options));
    }
    void Publish(sip::RegistrationState state) {
        link->Publish(std::move(state));
        Settle();
    }
    OptionAccountPanel* OpenPage() {
        DialogDriver::OpenOptions(*app_, &mainWindow(), OptionDialog::kAccount);
        Settle();
        auto* dialog = qobject_cast<OptionDialog*>(DialogDriver::TopDialog());
        EXPECT_NE(dialog, nullptr);
        if (dialog == nullptr) {
            return nullptr;
        }
        EXPECT_EQ(dialog->activePage(), OptionDialog::kAccount);
        return static_cast<OptionAccountPanel*>(dialog->page(OptionDialog::kAccount));
    }
    bool Saved(OptionAccountPanel& page) {
        return RunUntil([&] { return !page.saving(); });
    }
    QString English(i18n::TextKey key) { return Text(key, 3); }

    std::shared_ptr<sip::AccountLink> link = std::make_shared<sip::AccountLink>();
    std::shared_ptr<velto::test::FakeStore> keyring =
        std::make_shared<velto::test::FakeStore>("keyring");
    std::shared_ptr<velto::test::FakeStore> turnKeyring =
        std::make_shared<velto::test::FakeStore>("keyring");
    std::atomic<int> reloads{0};
};

TEST_F(AccountPageTest, TheMainWindowSaysWhereTheAccountStands) {
    Start();
    ForTestDialog& window = mainWindow();
    EXPECT_EQ(window.statusLabel()->text(), English(i18n::TXT_SIP_STARTING));
    EXPECT_NE(window.statusLabel()->text(), English(i18n::TXT_SIGN_IN_SKYPE));
    EXPECT_FALSE(window.sipButton()->isVisibleTo(&window));

    Publish(State(Phase::NotSetUp, "Identity: no SIP identity is set"));
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("No SIP account is set up yet."));
    ASSERT_TRUE(window.sipButton()->isVisibleTo(&window));
    EXPECT_EQ(window.sipButton()->text(), QStringLiteral("Set up account"));
    window.sipButton()->click();
    Settle();
    auto* dialog = qobject_cast<OptionDialog*>(DialogDriver::TopDialog());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->activePage(), OptionDialog::kAccount);
    dialog->reject();
    Settle();

    Publish(State(Phase::Registering));
    EXPECT_EQ(window.statusLabel()->text(),
              QStringLiteral("Registering at registrar.example.org:5070…"));
    EXPECT_TRUE(window.waitingAnimation()->isVisibleTo(&window));
    EXPECT_FALSE(window.sipButton()->isVisibleTo(&window));

    sip::RegistrationState failed = State(Phase::Failed, "401 Unauthorized");
    failed.when = std::chrono::system_clock::now() + std::chrono::seconds(30);
    Publish(failed);
    EXPECT_EQ(window.statusLabel()->text(),
              "Registration at registrar.example.org:5070 failed: 401 Unauthorized. Next try at " +
                  LocalTime(failed.when) + ".");
    EXPECT_EQ(window.sipButton()->text(), QStringLiteral("Account settings"));
    EXPECT_TRUE(window.sipButton()->isVisibleTo(&window));
    // The button sits under the whole text.
    EXPECT_GE(window.sipButton()->y(), window.statusLabel()->geometry().bottom());

    // A long reason takes the lines it needs; the button stays in the window below it.
    Publish(State(Phase::Failed, std::string(300, 'y')));
    EXPECT_GE(window.sipButton()->y(), window.statusLabel()->geometry().bottom());
    EXPECT_LE(window.sipButton()->geometry().bottom(), window.height());

    Publish(State(Phase::Registered));
    EXPECT_TRUE(window.contactListSlot()->isVisibleTo(&window));
    EXPECT_FALSE(window.sipButton()->isVisibleTo(&window));
    EXPECT_TRUE(window.statusLabel()->text().isEmpty());
}

TEST_F(AccountPageTest, AFirstStartWithoutAnAccountOffersTheSetUpAndNamesTheDemo) {
    Start();  // a first start: the language question was put
    QMessageBox* offer = frontEnd().accountOffer();
    ASSERT_NE(offer, nullptr);
    EXPECT_TRUE(offer->isVisible());
    EXPECT_TRUE(offer->text().contains(QStringLiteral("velto --demo")));
    ASSERT_EQ(offer->buttons().size(), 2);
    offer->defaultButton()->click();
    Settle();
    auto* dialog = qobject_cast<OptionDialog*>(DialogDriver::TopDialog());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->activePage(), OptionDialog::kAccount);
    EXPECT_EQ(frontEnd().accountOffer(), nullptr);
}

TEST_F(AccountPageTest, EverySettingOfVeltoAccountHasItsField) {
    Start();
    OptionAccountPanel* page = OpenPage();
    ASSERT_NE(page, nullptr);
    for (const sip::SipSettingInfo& setting : sip::SipSettingList()) {
        const std::string name = setting.name;
        const bool field = page->line(name) != nullptr || page->box(name) != nullptr ||
                           name == "proxy" || name == "media-encryption";
        EXPECT_TRUE(field) << name;
        EXPECT_NE(page->problem(name), nullptr) << name;
    }
}

TEST_F(AccountPageTest, WrongValuesAreSaidAtTheirFieldsAndNothingIsSaved) {
    Start();
    OptionAccountPanel* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->line("identity")->setText(QStringLiteral("alice@example.org"));
    page->server()->setText(QStringLiteral("registrar.example.org:port"));
    page->line("rtp-ports")->setText(QStringLiteral("9000-8000"));
    page->applyButton()->click();
    Settle();
    for (const char* field : {"identity", "proxy", "rtp-ports"}) {
        // Shown at its field (that of an advanced setting while that part is out of view).
        ASSERT_FALSE(page->problem(field)->isHidden()) << field;
        EXPECT_TRUE(page->problem(field)->text().startsWith(QStringLiteral("Not valid: ")))
            << field;
    }
    EXPECT_TRUE(page->problem("stun")->isHidden());
    // The basic page is shown, the first wrong field there.
    EXPECT_FALSE(page->advancedShown());
    // The dialog's OK keeps it open too.
    auto* dialog = qobject_cast<OptionDialog*>(DialogDriver::TopDialog());
    dialog->accept();
    Settle();
    EXPECT_EQ(DialogDriver::TopDialog(), dialog);
    EXPECT_FALSE(page->saving());
    EXPECT_TRUE(sip::ReadSipValues(app_->registry()).empty());
    EXPECT_EQ(reloads.load(), 0);

    // Only an advanced field wrong: the advanced part comes into view.
    page->line("identity")->setText(QStringLiteral("sip:alice@example.org"));
    page->server()->setText(QStringLiteral("registrar.example.org"));
    page->applyButton()->click();
    Settle();
    EXPECT_TRUE(page->advancedShown());
    EXPECT_TRUE(sip::ReadSipValues(app_->registry()).empty());
    ASSERT_FALSE(page->problem("rtp-ports")->isHidden());
    // Put right, the value loses its complaint at once, before the next Apply.
    page->line("rtp-ports")->setText(QStringLiteral("10000-20000"));
    EXPECT_TRUE(page->problem("rtp-ports")->isHidden());
}

TEST_F(AccountPageTest, TheReasonUnderAFieldIsInTheWindowsLanguageWithTheValueAsTyped) {
    constexpr int32_t kRussian = 13;
    Start();
    app_->state().CurrentLanguage = i18n::kGerman;
    OptionAccountPanel* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->line("identity")->setText(QStringLiteral("sip:alice@example.org"));
    page->server()->setText(QStringLiteral("registrar.example.org:99999"));
    page->line("listen")->setText(QStringLiteral("999.1.2.3:5060"));
    page->applyButton()->click();
    Settle();
    ASSERT_FALSE(page->problem("proxy")->isHidden());
    EXPECT_EQ(page->problem("proxy")->text(),
              QStringLiteral("Ungültig: der Port „99999“ ist keine Zahl von 1 bis 65535"));
    // In Russian, the next check says it in Russian.
    app_->state().CurrentLanguage = kRussian;
    page->server()->setText(QStringLiteral("registrar.example.org"));
    page->applyButton()->click();
    Settle();
    EXPECT_TRUE(page->problem("proxy")->isHidden());
    ASSERT_FALSE(page->problem("listen")->isHidden());
    EXPECT_EQ(page->problem("listen")->text(),
              QStringLiteral("Неверно: «999.1.2.3» не является адресом IPv4 (IPv6: [адрес]:порт)"));
    EXPECT_TRUE(sip::ReadSipValues(app_->registry()).empty());
}

TEST_F(AccountPageTest, ApplySavesTheAccountAndThePasswordAndTheBackendRegistersAgain) {
    Start();
    OptionAccountPanel* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->line("identity")->setText(QStringLiteral("sip:alice@example.org"));
    page->password()->setText(QStringLiteral("s3cret"));
    page->server()->setText(QStringLiteral("registrar.example.org:5070"));
    page->transport()->setCurrentIndex(page->transport()->findData(QStringLiteral("tcp")));
    page->box("ice")->setChecked(true);
    page->line("stun")->setText(QStringLiteral("stun.example.org"));
    page->applyButton()->click();
    EXPECT_TRUE(page->saving());
    EXPECT_EQ(page->status()->text(), English(i18n::TXT_ACCOUNT_SAVING));
    ASSERT_TRUE(Saved(*page));
    EXPECT_EQ(reloads.load(), 1);
    EXPECT_EQ(keyring->value, "s3cret");
    // The user hive holds the account as `velto-account set` would have written it.
    const sip::SipSettingsResult read = sip::ReadSipSettings(app_->registry());
    ASSERT_TRUE(read.settings) << read.error;
    EXPECT_EQ(read.settings->proxy, "sip:registrar.example.org:5070;transport=tcp");
    EXPECT_TRUE(read.settings->ice);
    EXPECT_EQ(read.settings->stun, "stun.example.org");
    EXPECT_TRUE(read.settings->password.empty());  // not in the user file
    EXPECT_TRUE(page->password()->text().isEmpty());
    EXPECT_EQ(page->password()->placeholderText(), English(i18n::TXT_ACCOUNT_PASSWORD_KEPT));

    // The status line follows the backend.
    sip::RegistrationState registered = State(Phase::Registered);
    registered.when = std::chrono::system_clock::now();
    Publish(registered);
    EXPECT_EQ(page->status()->text(), "Registered at registrar.example.org:5070 over TCP since " +
                                          LocalTime(registered.when) + ".");

    // A server's long report is cut to the status line's lines, and whole in its tooltip.
    const std::string report = "503 Service Unavailable (" + std::string(600, 'x') + ")";
    Publish(State(Phase::Failed, report));
    EXPECT_TRUE(page->status()->text().endsWith(QChar(0x2026)));
    EXPECT_TRUE(page->status()->toolTip().contains(QString::fromStdString(report)))
        << page->status()->toolTip().toStdString();
    EXPECT_LE(page->status()->sizeHint().height(),
              page->status()->fontMetrics().lineSpacing() * 3 + 4);

    // OK with nothing changed saves nothing; Apply asks for a registration all the same.
    page->applyButton()->click();
    ASSERT_TRUE(Saved(*page));
    EXPECT_EQ(reloads.load(), 2);
}

TEST_F(AccountPageTest, APasswordTheKeyringRefusesGoesToTheUserFile) {
    keyring->reachable = false;
    Start();
    OptionAccountPanel* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->line("identity")->setText(QStringLiteral("sip:alice@example.org"));
    page->password()->setText(QStringLiteral("s3cret"));
    auto* dialog = qobject_cast<OptionDialog*>(DialogDriver::TopDialog());
    dialog->accept();  // the dialog closes; the save goes on without it
    ASSERT_TRUE(RunUntil([&] { return reloads == 1; }));
    const sip::SipSettingsResult read = sip::ReadSipSettings(app_->registry());
    ASSERT_TRUE(read.settings) << read.error;
    EXPECT_EQ(read.settings->password, "s3cret");
}

TEST_F(AccountPageTest, TheTurnPasswordGoesToItsOwnKeyringItemAndIsSaidKeptWhenReopened) {
    Start();
    sip::HivePasswordStore(app_->registry(), sip::kTurnPassword).Write("stale");
    OptionAccountPanel* page = OpenPage();
    ASSERT_NE(page, nullptr);
    // A copy in the user file counts as kept before anything is typed.
    ASSERT_TRUE(RunUntil([&] { return !page->turnPassword()->placeholderText().isEmpty(); }));
    EXPECT_TRUE(page->password()->placeholderText().isEmpty());
    page->line("identity")->setText(QStringLiteral("sip:alice@example.org"));
    page->line("turn")->setText(QStringLiteral("turn.example.org:3478"));
    page->line("turn-user")->setText(QStringLiteral("relay-7"));
    page->turnPassword()->setText(QStringLiteral("relaypw"));
    EXPECT_EQ(page->turnPassword()->echoMode(), QLineEdit::Password);
    page->applyButton()->click();
    ASSERT_TRUE(Saved(*page));
    EXPECT_EQ(turnKeyring->value, "relaypw");
    EXPECT_FALSE(keyring->value.has_value()) << "the account's password was not typed";
    // Saved in the keyring, the older copy in the user file goes.
    std::string inFile;
    EXPECT_NE(app_->registry().QueryString(platform::RegRoot::CurrentUser, sip::kSipKey,
                                           sip::kTurnPassword.hiveValue, inFile),
              platform::RegError::Ok);
    EXPECT_TRUE(page->turnPassword()->text().isEmpty());
    EXPECT_EQ(page->turnPassword()->placeholderText(), English(i18n::TXT_ACCOUNT_PASSWORD_KEPT));
    EXPECT_EQ(sip::ReadSipSettings(app_->registry()).settings->turn, "turn.example.org:3478");

    // A TURN password typed alone is a change: the dialog's OK saves it.
    auto* dialog = qobject_cast<OptionDialog*>(DialogDriver::TopDialog());
    page->turnPassword()->setText(QStringLiteral("newer"));
    dialog->accept();
    ASSERT_TRUE(RunUntil([&] { return turnKeyring->value == "newer"; }));
    EXPECT_EQ(reloads.load(), 2);

    // Reopened, the page finds it kept; the account's password is still not.
    page = OpenPage();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(RunUntil([&] { return !page->turnPassword()->placeholderText().isEmpty(); }));
    EXPECT_TRUE(page->password()->placeholderText().isEmpty());
}

// The basic part's buttons sit right under its three fields (no empty box between); the
// advanced part, with its many rows, takes the room below.
TEST_F(AccountPageTest, TheBasicPartTakesOnlyItsFieldsHeight) {
    Start();
    OptionAccountPanel* page = OpenPage();
    ASSERT_NE(page, nullptr);
    const auto applyTop = [&] { return page->applyButton()->mapTo(page, QPoint(0, 0)).y(); };
    const int fieldsBottom = page->server()->mapTo(page, QPoint(0, page->server()->height())).y();
    const int basicTop = applyTop();
    EXPECT_GT(basicTop, fieldsBottom);
    EXPECT_LE(basicTop - fieldsBottom, 40);
    page->advancedButton()->click();
    Settle();
    ASSERT_TRUE(page->advancedShown());
    EXPECT_GE(applyTop() - basicTop, 60);
}

// Every switch and choice of the page on each side and back, saved with Apply and read as
// the backend reads it; a change the dialog's Cancel drops leaves the hive as it was.
TEST_F(AccountPageTest, EachSwitchAndChoiceIsSavedOnEachSideAndBackAndCancelSavesNothing) {
    Start();
    OptionAccountPanel* page = OpenPage();
    ASSERT_NE(page, nullptr);
    page->line("identity")->setText(QStringLiteral("sip:alice@example.org"));
    page->server()->setText(QStringLiteral("registrar.example.org"));
    const auto apply = [&]() -> std::optional<sip::SipSettings> {
        page->applyButton()->click();
        EXPECT_TRUE(Saved(*page));
        sip::SipSettingsResult read = sip::ReadSipSettings(app_->registry());
        EXPECT_TRUE(read.settings) << read.error;
        return read.settings;
    };
    const auto onOff = [](bool on) { return std::string(on ? "on" : "off"); };
    const std::map<std::string, std::function<bool(const sip::SipSettings&)>> switches{
        {"ice", [](const sip::SipSettings& s) { return s.ice; }},
        {"media-encryption-mandatory",
         [](const sip::SipSettings& s) { return s.mediaEncryptionMandatory; }},
        {"gruu", [](const sip::SipSettings& s) { return s.gruu; }},
        {"early-media", [](const sip::SipSettings& s) { return s.earlyMedia; }},
    };
    for (const auto& [name, field] : switches) {
        QCheckBox* box = page->box(name);
        ASSERT_NE(box, nullptr) << name;
        const bool shown = box->isChecked();
        EXPECT_EQ(shown, name == "early-media") << name;  // the defaults
        for (bool side : {!shown, shown}) {
            SCOPED_TRACE(name + " " + onOff(side));
            box->click();
            EXPECT_EQ(box->isChecked(), side);
            const auto read = apply();
            ASSERT_TRUE(read);
            EXPECT_EQ(field(*read), side);
            EXPECT_EQ(sip::ReadAccountValues(app_->registry()).at(name), onOff(side));
        }
    }
    const auto choose = [](QComboBox* combo, const char* value) {
        const int index = combo->findData(QString::fromLatin1(value));
        ASSERT_GE(index, 0) << value;
        combo->setCurrentIndex(index);
    };
    for (const char* encryption : {"srtp", "dtls", "zrtp", "none"}) {
        SCOPED_TRACE(encryption);
        choose(page->encryption(), encryption);
        const auto read = apply();
        ASSERT_TRUE(read);
        EXPECT_EQ(read->mediaEncryption, encryption);
    }
    for (const char* transport : {"tcp", "tls", "udp"}) {
        SCOPED_TRACE(transport);
        choose(page->transport(), transport);
        const auto read = apply();
        ASSERT_TRUE(read);
        ASSERT_TRUE(read->proxyAddress);
        EXPECT_EQ(read->proxyAddress->Transport(), transport);
    }

    const auto stored = sip::ReadSipValues(app_->registry());
    const int savedReloads = reloads.load();
    page->box("ice")->click();
    choose(page->encryption(), "zrtp");
    choose(page->transport(), "tls");
    auto* dialog = qobject_cast<OptionDialog*>(DialogDriver::TopDialog());
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
    Settle();
    EXPECT_EQ(sip::ReadSipValues(app_->registry()), stored);
    EXPECT_EQ(reloads.load(), savedReloads);
}

}  // namespace
}  // namespace velto::ui::test
