#include "ui/SingleRingToneDialog.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>

#include "app/Application.h"
#include "i18n/Languages.h"
#include "platform/Trace.h"
#include "ui/Artwork.h"
#include "ui/CURLLinkButton.h"
#include "ui/FilePickUpDialog.h"
#include "ui/GreetingRecorderPlug.h"
#include "ui/OptionDialog.h"
#include "ui/Texts.h"
#include "ui/WebPages.h"

namespace velto::ui {
namespace {

constexpr const char* kSetupPath = "/veltorbt/v1_2/adpanel/setup/?lang=";
constexpr const char* kChannelPath = "/veltorbt/channel/yyr/?lang=";
constexpr int kChannelHeight = 90;
constexpr int kNoChannelLanguage = 1;
constexpr int kChangeLinkId = 1107;
constexpr int kStandardLinkId = 1110;

// A title that does not fit even the widest dialog (a user's own file name) loses its end;
// the tooltip keeps it whole.
QString Elided(const QWidget& widget, const QString& text, int width) {
    return widget.fontMetrics().elidedText(text, Qt::ElideRight, width);
}

}  // namespace

SingleRingToneDialog::SingleRingToneDialog(app::Application& app, std::string handle,
                                           QWidget* parent)
    : SubMenuDialog(app, parent, kHeight),
      choice_(
          std::make_unique<RingToneChoice>(ToneContext{app.userSettings(), app.settingFile(),
                                                       [&app] { return app.partner().Tones(); }},
                                           std::move(handle), ShownLanguage(app.state()))),
      scroll_(new RowScrollArea(this)),
      folders_{app.state().InstallDirPath.Get(), app.settingFile().UserOwnFolder()},
      preview_(app) {
    setObjectName(QStringLiteral("SingleRingToneDialog"));
    group_.setExclusive(true);
    const int32_t language = ShownLanguage(app.state());
    SetPageAddress(WebPageAddress(app, kSetupPath));
    if (language != kNoChannelLanguage) {
        channel_ = new BannerPanel(app.clock(), app.workers(), app.urlOpener(), this);
        if (const std::string address = WebPageAddress(app, kChannelPath); !address.empty()) {
            channel_->Navigate(address);
        }
    }
    BuildRows();
    BuildGreetingRow();
    FitRows();
    ShowTicked();
    // Progress bars follow their downloads every 100 ms while any is under way.
    downloads_.setInterval(100);
    connect(&downloads_, &QTimer::timeout, this, &SingleRingToneDialog::UpdateDownloads);
    if (choice_->AnyDownloading()) {
        downloads_.start();
    }
    RefreshTexts();
    Layout();
    Navigate();
}

SingleRingToneDialog::~SingleRingToneDialog() = default;

void SingleRingToneDialog::BuildRows() {
    const auto& rows = choice_->rows();
    const int32_t language = ShownLanguage(application().state());
    for (size_t i = 0; i < rows.size(); ++i) {
        const ChoiceRow& row = rows[i];
        auto* line = new QWidget(scroll_->rows());
        line->setFixedHeight(kRowHeight);
        RowScrollArea::PaintRow(line, static_cast<int>(i));
        auto* layout = new QHBoxLayout(line);
        layout->setContentsMargins(10, 0, 10, 0);
        QRadioButton* radio = nullptr;
        QProgressBar* bar = nullptr;
        QLabel* label = nullptr;
        CxSkinButton* play = nullptr;
        switch (row.kind) {
            case ChoiceKind::Logo: {
                auto* logo = new QLabel(line);
                logo->setPixmap(ArtworkPixmap(QStringLiteral("partner_logo"), QSize(72, 22)));
                layout->addWidget(logo);
                layout->addStretch();
                break;
            }
            case ChoiceKind::Slogan: {
                auto* link = new CURLLinkButton(application().urlOpener(), 0, line);
                link->setText(QString::fromStdU16String(row.label));
                link->setToolTip(QString::fromLatin1(kPartnerPage));
                connect(link, &CURLLinkButton::linkClicked, this,
                        [this] { application().urlOpener().Open(kPartnerPage); });
                layout->addWidget(link);
                layout->addStretch();
                break;
            }
            default: {
                radio = new QRadioButton(QString::fromStdU16String(row.label), line);
                radio->setToolTip(QString::fromStdU16String(row.label));
                radio->setEnabled(row.enabled);
                group_.addButton(radio, static_cast<int>(i));
                layout->addWidget(radio, 1);
                if (row.kind == ChoiceKind::Standard) {
                    layout->addWidget(StandardLink(line, row.description));
                } else if (row.kind == ChoiceKind::Own) {
                    ownLabel_ = nullptr;
                    auto* change =
                        new CURLLinkButton(application().urlOpener(), kChangeLinkId, line);
                    change->setText(Text(i18n::TXT_CHANGE, language));
                    connect(change, &CURLLinkButton::linkClicked, this,
                            &SingleRingToneDialog::ChangeOwnTone);
                    layout->addWidget(change);
                } else if (row.kind == ChoiceKind::Partner) {
                    bar = new QProgressBar(line);
                    bar->setRange(0, 100);
                    bar->setFixedSize(80, 12);
                    bar->setTextVisible(false);
                    bar->setValue(static_cast<int>(row.progress * 100));
                    bar->setVisible(row.downloading);
                    layout->addWidget(bar);
                }
                const int index = static_cast<int>(i);
                connect(radio, &QRadioButton::clicked, this, [this, index] { TickRow(index); });
                // Button ids count from 1: the sound preview's 0 means none.
                play = preview_.AddButton(line, index + 1);
                layout->addWidget(play);
                connect(play, &QAbstractButton::clicked, this, [this, index] { PressPlay(index); });
                break;
            }
        }
        radios_.push_back(radio);
        progress_.push_back(bar);
        labels_.push_back(label);
        plays_.push_back(play);
        lines_.push_back(line);
        scroll_->AddRow(line);
        EnablePlay(static_cast<int>(i));
    }
}

void SingleRingToneDialog::BuildGreetingRow() {
    app::Application& app = application();
    const std::string& handle = choice_->handle();
    greetingRow_ = new QWidget(this);
    auto* layout = new QHBoxLayout(greetingRow_);
    layout->setContentsMargins(10, 0, 10, 0);
    // Its texts now, as the width is worked out before RefreshTexts.
    greetingLabel_ =
        new QLabel(Text(i18n::TXT_GREETING_LABEL, ShownLanguage(app.state())), greetingRow_);
    layout->addWidget(greetingLabel_);
    greeting_ = new GreetingPicker(
        app,
        std::make_unique<GreetingDraft>(ToneContext{app.userSettings(), app.settingFile(), {}},
                                        app.settingFile().UserOwnFolder(),
                                        GreetingDraft::ContactFileName(handle),
                                        app.userSettings().FindGreeting(handle)),
        false, greetingRow_);
    layout->addWidget(greeting_, 1);
    greetingLabel_->setBuddy(greeting_->combo());
    PlugGreetingRecorder(app, *greeting_);
}

CxSkinButton* SingleRingToneDialog::playButton(int row) const {
    return row >= 0 && row < static_cast<int>(plays_.size()) ? plays_[row] : nullptr;
}

void SingleRingToneDialog::EnablePlay(int row) {
    if (CxSkinButton* play = playButton(row)) {
        play->setEnabled(choice_->PlayFile(row, folders_).has_value());
    }
}

void SingleRingToneDialog::PressPlay(int row) {
    if (const auto file = choice_->PlayFile(row, folders_)) {
        preview_.Press(row + 1, *file);
    }
}

void SingleRingToneDialog::ShowBadKind() {
    application().messageBoxes().Show("Error enum value", "Velto");
}

QRadioButton* SingleRingToneDialog::radio(int row) const {
    return row >= 0 && row < static_cast<int>(radios_.size()) ? radios_[row] : nullptr;
}

void SingleRingToneDialog::ShowTicked() {
    if (QRadioButton* ticked = radio(choice_->ticked())) {
        ticked->setChecked(true);
    }
}

void SingleRingToneDialog::TickRow(int row) {
    switch (choice_->Tick(row)) {
        case RingToneChoice::TickResult::PickFile:
            ShowTicked();
            OpenPicker();
            return;
        case RingToneChoice::TickResult::OpenPartnerPage:
            application().urlOpener().Open(kPartnerPage);
            break;
        case RingToneChoice::TickResult::BadKind:
            ShowBadKind();
            break;
        default:
            break;
    }
    ShowTicked();
}

void SingleRingToneDialog::ChangeOwnTone() {
    if (picker_ && picker_->isVisible()) {
        return;
    }
    choice_->StartPick();
    ShowTicked();
    OpenPicker();
}

// The standard tone's name leads to where it is chosen: the options' standard ring-back page.
CURLLinkButton* SingleRingToneDialog::StandardLink(QWidget* line, const std::u16string& name) {
    standardLink_ = new CURLLinkButton(application().urlOpener(), kStandardLinkId, line);
    standardLink_->setText(QString::fromStdU16String(name));
    standardLink_->setToolTip(QString::fromStdU16String(name));
    connect(standardLink_, &CURLLinkButton::linkClicked, this,
            &SingleRingToneDialog::ChangeStandardTone);
    return standardLink_;
}

void SingleRingToneDialog::ChangeStandardTone() {
    if (options_) {
        return;
    }
    options_ = new OptionDialog(application(), OptionDialog::kStandardRingBack, this);
    options_->setAttribute(Qt::WA_DeleteOnClose);
    connect(options_, &QDialog::finished, this, [this] {
        choice_->RefreshStandardDescription();
        const std::u16string& name =
            choice_->rows()[choice_->RowOfKind(ChoiceKind::Standard)].description;
        standardLink_->setText(QString::fromStdU16String(name));
        standardLink_->setToolTip(QString::fromStdU16String(name));
        FitRows();
        // The options may have changed the language: every window takes it up.
        application().refreshList().BroadcastRefresh(application().state().CurrentLanguage);
    });
    options_->open();
}

void SingleRingToneDialog::OpenPicker() {
    picker_ = FilePickUpDialog::Open(application(), FilePickUpDialog::Purpose::RingBack, this);
    connect(picker_, &QDialog::finished, this, &SingleRingToneDialog::PickerFinished);
}

void SingleRingToneDialog::PickerFinished(int result) {
    if (result == QDialog::Accepted && picker_) {
        choice_->Picked(picker_->itemId());
        const int own = choice_->OwnRow();
        const std::u16string& title = choice_->rows()[own].label;
        radios_[own]->setToolTip(QString::fromStdU16String(title));
        EnablePlay(own);
        FitRows();
    } else {
        choice_->PickCancelled();
    }
    ShowTicked();
}

void SingleRingToneDialog::UpdateDownloads() {
    if (!choice_->RefreshPartnerRows()) {
        if (!choice_->AnyDownloading()) {
            downloads_.stop();
        }
        return;
    }
    const auto& rows = choice_->rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].kind != ChoiceKind::Partner) {
            continue;
        }
        radios_[i]->setEnabled(rows[i].enabled);
        progress_[i]->setValue(static_cast<int>(rows[i].progress * 100));
        progress_[i]->setVisible(rows[i].downloading);
        EnablePlay(static_cast<int>(i));
    }
}

void SingleRingToneDialog::accept() {
    if ((picker_ && picker_->isVisible()) || greeting_->Picking()) {
        return;
    }
    if (!choice_->Ok()) {
        ShowBadKind();
        return;
    }
    const auto greeting = greeting_->draft().Commit();
    application().userSettings().SetGreeting(choice_->handle(),
                                             greeting.value_or(core::GreetingChoice{}));
    if (!application().settingFile().SaveSettingFile()) {
        platform::Trace("Greeting for %s: the setting file was not saved\n",
                        choice_->handle().c_str());
    }
    SubMenuDialog::accept();
}

void SingleRingToneDialog::reject() {
    if ((picker_ && picker_->isVisible()) || greeting_->Picking()) {
        return;
    }
    choice_->Cancel();
    greeting_->draft().Discard();
    SubMenuDialog::reject();
}

void SingleRingToneDialog::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    const QString title = Text(i18n::TXT_RINGBACK_SETTINGS, language);
    setWindowTitle(title);
    this->title()->setText(title);
    okButton()->setText(Text(i18n::TXT_OK, language));
    cancelButton()->setText(Text(i18n::TXT_CANCEL, language));
    greetingLabel_->setText(Text(i18n::TXT_GREETING_LABEL, language));
    greeting_->RefreshTexts(language);
}

void SingleRingToneDialog::resizeEvent(QResizeEvent* event) {
    SubMenuDialog::resizeEvent(event);
    Layout();
}

// Every row's whole texts decide the width (at least the usual one, at most kMaxWidth);
// a row still too wide then has its radio's title cut at the end.
void SingleRingToneDialog::FitRows() {
    const auto& rows = choice_->rows();
    const int frame = 2 + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    int needed = kWidth;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (radios_[i] != nullptr) {
            radios_[i]->setText(QString::fromStdU16String(rows[i].label));
        }
        needed = std::max(needed, lines_[i]->sizeHint().width() + frame);
    }
    // The greeting's row spans the content area, which the dialog's border narrows.
    needed = std::max(needed, greetingRow_->sizeHint().width() + width() - contentArea().width());
    const int width = std::min(needed, kMaxWidth);
    if (width != this->width()) {
        setFixedSize(width, kHeight);
    }
    for (size_t i = 0; i < lines_.size(); ++i) {
        const int excess = lines_[i]->sizeHint().width() + frame - width;
        if (radios_[i] != nullptr && excess > 0) {
            const QString title = radios_[i]->text();
            const int textWidth = radios_[i]->fontMetrics().horizontalAdvance(title);
            radios_[i]->setText(Elided(*radios_[i], title, textWidth - excess));
        }
    }
}

void SingleRingToneDialog::Layout() {
    const QRect area = contentArea();
    banner()->setGeometry(area.left(), area.top(), area.width(), BannerPanel::kHeight);
    const int channelHeight = channel_ ? kChannelHeight : 0;
    const int greetingHeight = greetingRow_->sizeHint().height() + 8;
    const int scrollTop = area.top() + BannerPanel::kHeight + 6;
    const int room = area.height() - BannerPanel::kHeight - 6 - channelHeight - greetingHeight;
    // A short list keeps the greeting row right under its choices instead of leaving a
    // gap between them; a long one scrolls in all the room there is.
    const int rowsHeight = scroll_->rows()->sizeHint().height() + 2 * scroll_->frameWidth();
    const int scrollHeight = std::min(room, rowsHeight);
    scroll_->setGeometry(area.left(), scrollTop, area.width(), scrollHeight);
    greetingRow_->setGeometry(area.left(), scrollTop + scrollHeight + 4, area.width(),
                              greetingHeight - 8);
    if (channel_) {
        channel_->setGeometry(area.left(), area.bottom() - kChannelHeight + 1, area.width(),
                              kChannelHeight);
    }
}

}  // namespace velto::ui
