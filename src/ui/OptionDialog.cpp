#include "ui/OptionDialog.h"

#include <QPainter>
#include <QPushButton>
#include <optional>

#include "app/Application.h"
#include "platform/Trace.h"
#include "ui/Colours.h"
#include "ui/OptionAboutPanel.h"
#include "ui/OptionAccountPanel.h"
#include "ui/OptionGeneralPanel.h"
#include "ui/OptionRbtPanel.h"
#include "ui/OptionRulesPanel.h"
#include "ui/OwnSoundPanel.h"
#include "ui/Texts.h"

namespace velto::ui {
namespace {

constexpr int kWidth = 660;
constexpr int kHeight = 400;
constexpr int kColumnWidth = 190;
constexpr int kButtonHeight = 40;

struct PageButton {
    int page;
    i18n::TextKey text;
    const char* icon;
    bool needsSkype;
};

constexpr PageButton kPageButtons[] = {
    {OptionDialog::kAccount, i18n::TXT_ACCOUNT, "page_account", false},
    {OptionDialog::kGeneral, i18n::TXT_GENERAL, "page_general", true},
    {OptionDialog::kStandardRingBack, i18n::TXT_STANDARD_RINGBACK, "page_ringback", true},
    {OptionDialog::kRingTone, i18n::TXT_RINGTONE_SETTINGS, "page_ringtone", true},
    {OptionDialog::kVoiceMail, i18n::TXT_VOICE_MAIL, "page_voicemail", true},
    {OptionDialog::kRules, i18n::TXT_RULES, "page_rules", true},
    {OptionDialog::kAbout, i18n::TXT_ABOUT, "page_about", false},
};

// The pages whose changes OK keeps and Cancel puts back.
constexpr int kEditingPages[] = {OptionDialog::kGeneral, OptionDialog::kStandardRingBack,
                                 OptionDialog::kVoiceMail, OptionDialog::kRingTone,
                                 OptionDialog::kRules};

// `text` on one line of `width` pixels, else on two, broken after the last hyphen or space
// that lets both lines fit; nothing when neither does.
std::optional<QString> FitOnTwoLines(const QFontMetrics& metrics, const QString& text, int width) {
    if (metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    for (qsizetype i = text.size() - 1; i > 0; --i) {
        if (text[i] != QLatin1Char('-') && text[i] != QLatin1Char(' ')) {
            continue;
        }
        const QString first = text.left(text[i] == QLatin1Char('-') ? i + 1 : i);
        const QString second = text.mid(i + 1);
        if (metrics.horizontalAdvance(first) <= width &&
            metrics.horizontalAdvance(second) <= width) {
            return first + QLatin1Char('\n') + second;
        }
    }
    return std::nullopt;
}

// A page's name on its button: in the dialog's font where one or two lines hold it, else in
// a point or two smaller (a long word pair, as in Russian), else cut short.
void ShowPageName(QPushButton& button, const QString& text, int width) {
    QFont font = button.parentWidget()->font();
    for (int smaller = 0; smaller <= 2; ++smaller) {
        QFont tried = font;
        tried.setPointSizeF(font.pointSizeF() - smaller);
        if (auto lines = FitOnTwoLines(QFontMetrics(tried), text, width)) {
            button.setFont(tried);
            button.setText(*lines);
            return;
        }
    }
    button.setFont(font);
    button.setText(button.fontMetrics().elidedText(text, Qt::ElideRight, width));
}

}  // namespace

OptionDialog::OptionDialog(app::Application& app, int firstPage, QWidget* parent,
                           SipAccountView* sip)
    : TStackedDialog(parent),
      app_(app),
      sip_(sip),
      attached_(app.state().SkypeAttached.load()),
      ok_(new QPushButton(this)),
      cancel_(new QPushButton(this)) {
    setObjectName(QStringLiteral("OptionDialog"));
    setFixedSize(kWidth, kHeight);
    auto* placeholder = new QWidget(this);
    placeholder->setGeometry(kColumnWidth + 10, 10, kWidth - kColumnWidth - 20, kHeight - 70);
    SetPlaceholder(placeholder);
    for (int page :
         {kGeneral, kVoiceMail, kNewServices, kAbout, kStandardRingBack, kRingTone, kRules}) {
        AddPage(page);
    }
    if (sip_ != nullptr) {
        AddPage(kAccount);
    }
    int y = 16;
    for (const PageButton& entry : kPageButtons) {
        if (entry.page == kAccount && sip_ == nullptr) {
            continue;
        }
        auto* button = new CSXButton(this);
        button->SetIcon(QString::fromLatin1(entry.icon));
        button->setGeometry(10, y, kColumnWidth - 16, kButtonHeight);
        button->setCheckable(true);
        button->setAutoExclusive(true);
        button->setEnabled(attached_ || !entry.needsSkype);
        const int page = entry.page;
        connect(button, &QPushButton::clicked, this, [this, page] {
            ActivatePage(page);
            buttons_[page]->setChecked(true);
        });
        buttons_[entry.page] = button;
        y += kButtonHeight + 6;
    }
    ok_->setGeometry(kWidth - 2 * 90 - 20, kHeight - 44, 90, 28);
    cancel_->setGeometry(kWidth - 90 - 12, kHeight - 44, 90, 28);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &OptionDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &OptionDialog::reject);
    translated_ = std::make_unique<TranslatedWindow>(app, [this] { RefreshTexts(); });

    const int start = attached_ ? kGeneral : sip_ != nullptr ? kAccount : kAbout;
    ActivatePage(start);
    RefreshTexts();
    const bool open = attached_ || firstPage == kAbout || firstPage == kAccount;
    if (firstPage != 0 && open && FindPage(firstPage)) {
        ActivatePage(firstPage);
    }
    if (CSXButton* button = pageButton(activePage())) {
        button->setChecked(true);
    }
}

OptionDialog::~OptionDialog() = default;

TStackedPage* OptionDialog::CreatePage(int templateId) {
    switch (templateId) {
        case kGeneral:
            return new OptionGeneralPanel(app_, this);
        case kStandardRingBack:
            return new OptionRbtPanel(app_, this);
        case kRingTone:
            return new OptionRingtonePanel(app_, this);
        case kVoiceMail:
            return new OptionVoiceMailPanel(app_, this);
        case kAbout:
            return new OptionAboutPanel(app_, this);
        case kNewServices:
            return new OptionNewServicesPanel(app_, this);
        case kRules:
            return new OptionRulesPanel(app_, this);
        case kAccount:
            return sip_ != nullptr ? new OptionAccountPanel(app_, *sip_, this) : nullptr;
        default:
            return nullptr;
    }
}

CSXButton* OptionDialog::pageButton(int page) const {
    const auto found = buttons_.find(page);
    return found == buttons_.end() ? nullptr : found->second;
}

OptionPage* OptionDialog::page(int page) const {
    return static_cast<OptionPage*>(FindPage(page));
}

int OptionDialog::activePage() const {
    for (const PageRecord& record : pages()) {
        if (record.active) {
            return record.templateId;
        }
    }
    return 0;
}

void OptionDialog::accept() {
    // A page with a wrong value keeps the dialog open and nothing is applied.
    for (const PageRecord& record : pages()) {
        if (!static_cast<OptionPage*>(record.page)->Validate()) {
            ActivatePage(record.templateId);
            if (CSXButton* button = pageButton(record.templateId)) {
                button->setChecked(true);
            }
            return;
        }
    }
    if (OptionPage* account = page(kAccount)) {
        account->Apply();
    }
    for (int id : kEditingPages) {
        page(id)->Apply();
    }
    if (!app_.settingFile().SaveSettingFile()) {
        platform::Trace("Options: the setting file was not saved\n");
    }
    done(kResultOk);
}

void OptionDialog::reject() {
    if (attached_) {
        // A page's revert may save (a discarded pick): the file gets every page's old
        // values at once.
        core::SettingFileStore::SaveHold hold(app_.settingFile());
        for (int id : kEditingPages) {
            page(id)->Revert();
        }
    }
    done(kResultCancel);
}

void OptionDialog::RefreshTexts() {
    const int32_t language = ShownLanguage(app_.state());
    setWindowTitle(Text(i18n::TXT_OPTIONS, language));
    for (const PageButton& entry : kPageButtons) {
        // Long names (German) take two lines; the tooltip has them whole.
        CSXButton* button = pageButton(entry.page);
        if (button == nullptr) {
            continue;  // the Account page without the SIP backend
        }
        const QString text = Text(entry.text, language);
        ShowPageName(*button, text, button->width() - 48);
        button->setToolTip(text);
    }
    ok_->setText(Text(i18n::TXT_OK, language));
    cancel_->setText(Text(i18n::TXT_CANCEL, language));
    RefreshPages();
}

void OptionDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BodyColour(palette()));
    painter.fillRect(QRect(0, 0, kColumnWidth, height()), BandColour(palette()));
    painter.setPen(FrameColour());
    painter.drawLine(kColumnWidth, 0, kColumnWidth, height());
}

}  // namespace velto::ui
