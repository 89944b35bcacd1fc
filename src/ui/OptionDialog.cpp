#include "ui/OptionDialog.h"

#include <QPainter>
#include <QPushButton>

#include "app/Application.h"
#include "platform/Trace.h"
#include "ui/Colours.h"
#include "ui/OptionAboutPanel.h"
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
// that lets both lines fit, else cut short.
QString FitOnTwoLines(const QFontMetrics& metrics, const QString& text, int width) {
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
    return metrics.elidedText(text, Qt::ElideRight, width);
}

}  // namespace

OptionDialog::OptionDialog(app::Application& app, int firstPage, QWidget* parent)
    : TStackedDialog(parent),
      app_(app),
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
    int y = 16;
    for (const PageButton& entry : kPageButtons) {
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

    const int start = attached_ ? kGeneral : kAbout;
    ActivatePage(start);
    RefreshTexts();
    if (firstPage != 0 && (attached_ || firstPage == kAbout) && FindPage(firstPage)) {
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
        // Long names (German) take two lines, or are cut short when even that is too narrow;
        // the tooltip has them whole.
        CSXButton* button = buttons_[entry.page];
        const QString text = Text(entry.text, language);
        button->setText(FitOnTwoLines(button->fontMetrics(), text, button->width() - 48));
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
