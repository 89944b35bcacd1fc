#include "ui/OptionAccountPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <mutex>

#include "app/Application.h"
#include "i18n/TextKey.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "sipaccount/AccountPassword.h"
#include "sipaccount/HivePasswordStore.h"
#include "ui/BalancedWrap.h"
#include "ui/Texts.h"
#include "ui/model/AccountReasons.h"
#include "ui/model/RegistrationText.h"

namespace velto::ui {

using platform::Trace;
namespace sip = skype::sip;

namespace {

// The label of each setting's field.
const std::map<std::string, i18n::TextKey>& Labels() {
    static const std::map<std::string, i18n::TextKey> labels = {
        {"identity", i18n::TXT_ACCOUNT_IDENTITY},
        {"outbound-proxy", i18n::TXT_ACCOUNT_OUTBOUND_PROXY},
        {"auth-user", i18n::TXT_ACCOUNT_AUTH_USER},
        {"realm", i18n::TXT_ACCOUNT_REALM},
        {"expiry", i18n::TXT_ACCOUNT_EXPIRY},
        {"listen", i18n::TXT_ACCOUNT_LISTEN},
        {"stun", i18n::TXT_ACCOUNT_STUN},
        {"ice", i18n::TXT_ACCOUNT_ICE},
        {"turn", i18n::TXT_ACCOUNT_TURN},
        {"turn-user", i18n::TXT_ACCOUNT_TURN_USER},
        {"turn-password", i18n::TXT_ACCOUNT_TURN_PASSWORD},
        {"rtp-ports", i18n::TXT_ACCOUNT_RTP_PORTS},
        {"media-encryption-mandatory", i18n::TXT_ACCOUNT_MANDATORY},
        {"ca-file", i18n::TXT_ACCOUNT_CA_FILE},
        {"gruu", i18n::TXT_ACCOUNT_GRUU},
        {"early-media", i18n::TXT_ACCOUNT_EARLY_MEDIA},
        {"max-calls", i18n::TXT_ACCOUNT_MAX_CALLS},
    };
    return labels;
}

constexpr const char* kEncryptions[] = {"none", "srtp", "dtls", "zrtp"};
constexpr const char* kTransports[] = {"udp", "tcp", "tls"};

// The status line takes at most this many lines; a longer text (a server's certificate
// report) is cut, and whole in the tooltip.
constexpr int kStatusLines = 3;

// The fields that are no setting of the hive: the passwords, and the server that is joined
// with its transport.
bool IsOwnField(const std::string& field) {
    return field == "password" || field == "turn-password" || field == "proxy";
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.trimmed().toStdString();
}

}  // namespace

// The page as a worker's result finds it: null once the page is gone.
struct OptionAccountPanel::Guard {
    std::mutex mutex;
    OptionAccountPanel* page = nullptr;
};

OptionAccountPanel::OptionAccountPanel(app::Application& app, SipAccountView& view, QWidget* parent)
    : OptionPage(app, parent),
      view_(view),
      guard_(std::make_shared<Guard>()),
      group_(new QGroupBox(this)),
      views_(new QStackedWidget(group_)),
      advanced_(new QPushButton(this)),
      apply_(new QPushButton(this)),
      status_(new QLabel(this)) {
    guard_->page = this;
    setObjectName(QStringLiteral("AccountPage"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 4);
    outer->addWidget(group_, 1);
    auto* inGroup = new QVBoxLayout(group_);
    inGroup->setContentsMargins(8, 6, 8, 6);
    inGroup->addWidget(views_);
    views_->addWidget(MakeBasic());
    views_->addWidget(MakeAdvanced());
    // What was said of a value is stale once the value changes: no "not valid" under a
    // value already put right.
    for (auto& [setting, row] : rows_) {
        QLabel* problem = row.problem;
        const auto hide = [problem] {
            problem->hide();
            problem->clear();
        };
        if (row.line != nullptr) {
            connect(row.line, &QLineEdit::textChanged, problem, hide);
        }
        if (row.box != nullptr) {
            connect(row.box, &QCheckBox::toggled, problem, hide);
        }
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(advanced_);
    buttons->addStretch();
    buttons->addWidget(apply_);
    outer->addLayout(buttons);
    status_->setWordWrap(true);
    status_->setObjectName(QStringLiteral("AccountStatus"));
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 2);
    status_->setMaximumHeight(status_->fontMetrics().lineSpacing() * kStatusLines + 4);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    outer->addWidget(status_);
    outer->addStretch(0);
    advanced_->setCheckable(true);
    connect(advanced_, &QPushButton::toggled, this, [this, outer](bool on) {
        views_->setCurrentIndex(on ? 1 : 0);
        ShowPart(*outer, on);
        RefreshTexts();
    });
    ShowPart(*outer, false);
    connect(apply_, &QPushButton::clicked, this, &OptionAccountPanel::ApplyNow);
    connect(&view_, &SipAccountView::changed, this, &OptionAccountPanel::ShowState);
    // Reading order for the keyboard: the basic fields, then the buttons.
    setTabOrder(rows_.at("identity").line, password_);
    setTabOrder(password_, server_);
    setTabOrder(server_, transport_);
    setTabOrder(transport_, advanced_);
    setTabOrder(advanced_, apply_);
    Fill();
    ReadPasswordPlace();
    RefreshTexts();
}

void OptionAccountPanel::ShowPart(QVBoxLayout& outer, bool advanced) {
    // The basic part's three fields take only their own height, the buttons and the state
    // right under them (no empty box); the advanced part scrolls in all the room there is.
    views_->widget(0)->setSizePolicy(QSizePolicy::Preferred,
                                     advanced ? QSizePolicy::Ignored : QSizePolicy::Preferred);
    views_->widget(1)->setSizePolicy(QSizePolicy::Preferred,
                                     advanced ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    outer.setStretchFactor(group_, advanced ? 1 : 0);
    outer.setStretch(outer.count() - 1, advanced ? 0 : 1);
    views_->updateGeometry();
}

void OptionAccountPanel::resizeEvent(QResizeEvent* event) {
    OptionPage::resizeEvent(event);
    ShowState();
}

void OptionAccountPanel::OnSetActive() {
    QLineEdit* identity = rows_.at("identity").line;
    (identity->text().isEmpty() ? identity : password_)->setFocus();
}

OptionAccountPanel::~OptionAccountPanel() {
    std::lock_guard guard(guard_->mutex);
    guard_->page = nullptr;
}

QWidget* OptionAccountPanel::MakeBasic() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    int row = 0;
    AddLine(grid, row, "identity", "sip:alice@example.org");
    passwordLabel_ = new QLabel(page);
    password_ = new QLineEdit(page);
    password_->setEchoMode(QLineEdit::Password);
    password_->setObjectName(QStringLiteral("password"));
    grid->addWidget(passwordLabel_, row, 0);
    grid->addWidget(password_, row++, 1);
    rows_["password"] = {passwordLabel_, password_, nullptr, AddProblem(grid, row)};
    serverLabel_ = new QLabel(page);
    server_ = new QLineEdit(page);
    server_->setObjectName(QStringLiteral("proxy"));
    server_->setPlaceholderText(QStringLiteral("sip.example.org:5060"));
    transport_ = new QComboBox(page);
    for (const char* transport : kTransports) {
        transport_->addItem(Q(transport).toUpper(), Q(transport));
    }
    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(server_, 1);
    serverRow->addWidget(transport_);
    grid->addWidget(serverLabel_, row, 0);
    grid->addLayout(serverRow, row++, 1);
    rows_["proxy"] = {serverLabel_, server_, nullptr, AddProblem(grid, row)};
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* OptionAccountPanel::MakeAdvanced() {
    scroll_ = new QScrollArea;
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 4, 0);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    int row = 0;
    AddLine(grid, row, "auth-user", "alice-auth");
    AddLine(grid, row, "outbound-proxy", "sip:outbound.example.org;lr");
    AddLine(grid, row, "realm", "example.org");
    AddLine(grid, row, "expiry", "600");
    AddLine(grid, row, "listen", "0.0.0.0:5060");
    AddLine(grid, row, "stun", "stun.example.org");
    AddBox(grid, row, "ice");
    AddLine(grid, row, "turn", "turn.example.org:3478");
    AddLine(grid, row, "turn-user", "alice-turn");
    AddLine(grid, row, "turn-password", "");
    turnPassword_ = rows_.at("turn-password").line;
    turnPassword_->setEchoMode(QLineEdit::Password);
    AddLine(grid, row, "rtp-ports", "10000-20000");
    encryptionLabel_ = new QLabel(page);
    encryption_ = new QComboBox(page);
    encryption_->setObjectName(QStringLiteral("media-encryption"));
    for (const char* name : kEncryptions) {
        encryption_->addItem(Q(name).toUpper(), Q(name));
    }
    grid->addWidget(encryptionLabel_, row, 0);
    grid->addWidget(encryption_, row++, 1, Qt::AlignLeft);
    rows_["media-encryption"] = {encryptionLabel_, nullptr, nullptr, AddProblem(grid, row)};
    AddBox(grid, row, "media-encryption-mandatory");
    AddLine(grid, row, "ca-file", "/etc/velto/ca.pem");
    AddBox(grid, row, "gruu");
    AddBox(grid, row, "early-media");
    AddLine(grid, row, "max-calls", "20");
    grid->setRowStretch(row, 1);
    scroll_->setWidget(page);
    return scroll_;
}

void OptionAccountPanel::AddLine(QGridLayout* grid, int& row, const std::string& setting,
                                 const char* example) {
    Row entry;
    entry.label = new QLabel(grid->parentWidget());
    entry.line = new QLineEdit(grid->parentWidget());
    entry.line->setObjectName(Q(setting));
    entry.line->setPlaceholderText(QString::fromUtf8(example));
    // Long labels (German, Russian) wrap rather than push the fields out of the page.
    entry.label->setWordWrap(true);
    grid->addWidget(entry.label, row, 0);
    grid->addWidget(entry.line, row++, 1);
    entry.problem = AddProblem(grid, row);
    rows_[setting] = entry;
}

void OptionAccountPanel::AddBox(QGridLayout* grid, int& row, const std::string& setting) {
    Row entry;
    entry.box = new QCheckBox(grid->parentWidget());
    entry.box->setObjectName(Q(setting));
    grid->addWidget(entry.box, row++, 0, 1, 2);
    entry.problem = AddProblem(grid, row);
    rows_[setting] = entry;
}

QLabel* OptionAccountPanel::AddProblem(QGridLayout* grid, int& row) {
    auto* label = new QLabel(grid->parentWidget());
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: #b00020;"));
    label->hide();
    grid->addWidget(label, row++, 1);
    return label;
}

QLineEdit* OptionAccountPanel::line(const std::string& setting) const {
    const auto found = rows_.find(setting);
    return found == rows_.end() || IsOwnField(setting) ? nullptr : found->second.line;
}

QCheckBox* OptionAccountPanel::box(const std::string& setting) const {
    const auto found = rows_.find(setting);
    return found == rows_.end() ? nullptr : found->second.box;
}

QLabel* OptionAccountPanel::problem(const std::string& setting) const {
    const auto found = rows_.find(setting);
    return found == rows_.end() ? nullptr : found->second.problem;
}

bool OptionAccountPanel::advancedShown() const {
    return views_->currentIndex() == 1;
}

void OptionAccountPanel::Fill() {
    before_ = sip::ReadAccountValues(application().registry());
    for (auto& [setting, row] : rows_) {
        if (IsOwnField(setting)) {
            continue;
        }
        const std::string& value = before_[setting];
        if (row.line != nullptr) {
            row.line->setText(Q(value));
        } else if (row.box != nullptr) {
            row.box->setChecked(value == "on");
        }
    }
    const sip::ProxyParts proxy = sip::SplitProxy(before_["proxy"]);
    server_->setText(Q(proxy.host));
    transport_->setCurrentIndex(std::max(0, transport_->findData(Q(proxy.transport))));
    const std::string encryption = before_["media-encryption"];
    encryption_->setCurrentIndex(
        std::max(0, encryption_->findData(Q(encryption.empty() ? "none" : encryption))));
}

sip::AccountValues OptionAccountPanel::Collect() const {
    sip::AccountValues values = before_;
    for (const auto& [setting, row] : rows_) {
        if (IsOwnField(setting)) {
            continue;
        }
        if (row.line != nullptr) {
            values[setting] = S(row.line->text());
        } else if (row.box != nullptr) {
            values[setting] = row.box->isChecked() ? "on" : "off";
        }
    }
    values["proxy"] = sip::JoinProxy({S(server_->text()), S(transport_->currentData().toString())},
                                     before_.at("proxy"));
    const std::string encryption = S(encryption_->currentData().toString());
    // "none" is the default: an unset setting stays unset.
    const auto was = before_.find("media-encryption");
    values["media-encryption"] =
        encryption == "none" && was != before_.end() && was->second.empty() ? "" : encryption;
    return values;
}

sip::TypedPasswords OptionAccountPanel::Typed() const {
    // An empty field keeps the saved password.
    const auto typed = [](const QLineEdit* field) {
        return field->text().isEmpty() ? std::nullopt
                                       : std::optional<std::string>(field->text().toStdString());
    };
    return {typed(password_), typed(turnPassword_)};
}

void OptionAccountPanel::ShowProblem(QLabel* label, const std::string& reason) {
    const int32_t language = ShownLanguage(application().state());
    label->setText(QString::fromStdU16String(
        FillIn(std::u16string(i18n::GetText(i18n::TXT_ACCOUNT_INVALID, language)),
               LocalReason(reason, language))));
    label->show();
}

bool OptionAccountPanel::Validate() {
    // An account left as it was is no reason to keep the dialog open, even an unusable one.
    if (Collect() == before_ && !Typed().Any()) {
        return true;
    }
    return Check();
}

bool OptionAccountPanel::Check() {
    const auto refused = sip::CheckAccountValues(Collect());
    QWidget* first = nullptr;
    QLabel* firstProblem = nullptr;
    bool firstAdvanced = false;
    for (auto& [setting, row] : rows_) {
        const auto found = refused.find(setting);
        if (found == refused.end()) {
            row.problem->hide();
            row.problem->clear();
            continue;
        }
        ShowProblem(row.problem, found->second);
        const bool inAdvanced = setting != "identity" && setting != "proxy";
        if (first == nullptr || (firstAdvanced && !inAdvanced)) {
            first = row.line != nullptr  ? static_cast<QWidget*>(row.line)
                    : row.box != nullptr ? static_cast<QWidget*>(row.box)
                                         : encryption_;
            firstAdvanced = inAdvanced;
            firstProblem = row.problem;
        }
    }
    if (first == nullptr) {
        return true;
    }
    // The first wrong field in sight, the basic ones first.
    advanced_->setChecked(firstAdvanced);
    if (firstAdvanced) {
        // The field and what is said under it, with the labels just shown laid out.
        scroll_->widget()->layout()->activate();
        scroll_->ensureWidgetVisible(first);
        scroll_->ensureWidgetVisible(firstProblem);
        // A reason of several lines gets its height only once the scroll area has its
        // final width: look again when the layouts have settled.
        QTimer::singleShot(0, this, [this, first, firstProblem] {
            scroll_->ensureWidgetVisible(first);
            scroll_->ensureWidgetVisible(firstProblem);
        });
    }
    first->setFocus();
    Trace("Account page: %zu value(s) refused; nothing saved\n", refused.size());
    return false;
}

void OptionAccountPanel::Apply() {
    Save(false);
}

void OptionAccountPanel::ApplyNow() {
    if (Check()) {
        Save(true);
    }
}

void OptionAccountPanel::Save(bool always) {
    sip::AccountValues after = Collect();
    const sip::TypedPasswords passwords = Typed();
    if (!always && after == before_ && !passwords.Any()) {
        return;
    }
    saving_ = true;
    saveProblem_.clear();
    apply_->setEnabled(false);
    RefreshTexts();
    Trace("Account page: saving the account\n");
    application().workers().Start(
        "AccountSave",
        [guard = guard_, registry = &application().registry(), keyring = view_.keyring(),
         link = view_.link(), before = before_, after = std::move(after), passwords] {
            const sip::AccountSaved outcome =
                sip::SaveAccount(*registry, keyring, before, after, passwords);
            if (outcome.ok) {
                link->Reload();
            }
            std::lock_guard lock(guard->mutex);
            if (OptionAccountPanel* page = guard->page) {
                QMetaObject::invokeMethod(
                    page, [page, outcome, after] { page->Saved(outcome, after); },
                    Qt::QueuedConnection);
            }
        });
}

void OptionAccountPanel::Saved(const sip::AccountSaved& outcome, sip::AccountValues after) {
    saving_ = false;
    apply_->setEnabled(true);
    for (const std::string& note : outcome.notes) {
        Trace("Account page: %s\n", note.c_str());
    }
    if (outcome.ok) {
        before_ = std::move(after);
        const sip::TypedPasswords typed = Typed();
        if (typed.account) {
            passwordKept_ = !outcome.passwordPlace.empty();
            password_->clear();
        }
        if (typed.turn) {
            turnPasswordKept_ = !outcome.turnPasswordPlace.empty();
            turnPassword_->clear();
        }
        Trace("Account page: saved%s%s%s%s\n",
              outcome.passwordPlace.empty() ? "" : "; the password in the ",
              outcome.passwordPlace.c_str(),
              outcome.turnPasswordPlace.empty() ? "" : "; the TURN password in the ",
              outcome.turnPasswordPlace.c_str());
    } else {
        saveProblem_ = outcome.problem;
        Trace("Account page: not saved: %s\n", outcome.problem.c_str());
    }
    RefreshTexts();
    emit saved(outcome.ok);
}

void OptionAccountPanel::ReadPasswordPlace() {
    application().workers().Start(
        "AccountPassword",
        [guard = guard_, registry = &application().registry(), keyring = view_.keyring()] {
            const auto kept = [&](const sip::PasswordItem& item) {
                const auto store = keyring(item);
                sip::HivePasswordStore userFile(*registry, item);
                return !sip::AccountPassword(*store, userFile).Read().password.empty();
            };
            const bool account = kept(sip::kAccountPassword);
            const bool turn = kept(sip::kTurnPassword);
            std::lock_guard lock(guard->mutex);
            if (OptionAccountPanel* page = guard->page) {
                QMetaObject::invokeMethod(
                    page,
                    [page, account, turn] {
                        page->passwordKept_ = account;
                        page->turnPasswordKept_ = turn;
                        page->RefreshTexts();
                    },
                    Qt::QueuedConnection);
            }
        });
}

void OptionAccountPanel::ShowState() {
    const int32_t language = ShownLanguage(application().state());
    if (saving_) {
        status_->setText(Text(i18n::TXT_ACCOUNT_SAVING, language));
        status_->setStyleSheet({});
        return;
    }
    if (!saveProblem_.empty()) {
        ShowStatusText(QString::fromStdU16String(
            FillIn(std::u16string(i18n::GetText(i18n::TXT_ACCOUNT_NOT_SAVED, language)),
                   LocalReason(saveProblem_, language))));
        status_->setStyleSheet(QStringLiteral("color: #b00020;"));
        return;
    }
    status_->setStyleSheet({});
    ShowStatusText(QString::fromStdU16String(RegistrationText(view_.state(), language)));
}

void OptionAccountPanel::ShowStatusText(const QString& text) {
    // The line spans the page but for its margins (the page's size is set, its layout may
    // not have placed the line yet).
    const int width = this->width() - 24;
    const QString shown = FitLines(status_->fontMetrics(), text, width, kStatusLines);
    status_->setText(shown);
    status_->setToolTip(shown == text ? QString() : text);
}

void OptionAccountPanel::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    group_->setTitle(Text(i18n::TXT_ACCOUNT, language));
    for (auto& [setting, row] : rows_) {
        const auto label = Labels().find(setting);
        if (label == Labels().end()) {
            continue;
        }
        if (row.label != nullptr) {
            row.label->setText(Text(label->second, language));
        } else if (row.box != nullptr) {
            row.box->setText(Text(label->second, language));
        }
    }
    passwordLabel_->setText(Text(i18n::TXT_ACCOUNT_PASSWORD, language));
    password_->setPlaceholderText(passwordKept_ ? Text(i18n::TXT_ACCOUNT_PASSWORD_KEPT, language)
                                                : QString());
    turnPassword_->setPlaceholderText(
        turnPasswordKept_ ? Text(i18n::TXT_ACCOUNT_PASSWORD_KEPT, language) : QString());
    serverLabel_->setText(Text(i18n::TXT_ACCOUNT_PROXY, language));
    transport_->setToolTip(Text(i18n::TXT_ACCOUNT_TRANSPORT, language));
    encryptionLabel_->setText(Text(i18n::TXT_ACCOUNT_ENCRYPTION, language));
    encryption_->setItemText(0, Text(i18n::TXT_ACCOUNT_ENCRYPTION_NONE, language));
    advanced_->setText(
        Text(advancedShown() ? i18n::TXT_ACCOUNT_BASIC : i18n::TXT_ACCOUNT_ADVANCED, language));
    apply_->setText(Text(i18n::TXT_ACCOUNT_APPLY, language));
    ShowState();
}

}  // namespace velto::ui
