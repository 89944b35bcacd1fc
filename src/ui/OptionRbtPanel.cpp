#include "ui/OptionRbtPanel.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "app/Application.h"
#include "platform/Text.h"
#include "ui/FilePickUpDialog.h"
#include "ui/Texts.h"
#include "ui/ToneRadioRow.h"

namespace velto::ui {
namespace {

constexpr int kBrowseLinkId = 1107;

ToneContext TonesOf(app::Application& app) {
    return {app.userSettings(), app.settingFile(), [&app] { return app.partner().Tones(); }};
}

}  // namespace

OptionRbtPanel::OptionRbtPanel(app::Application& app, QWidget* parent)
    : OptionPage(app, parent),
      options_(TonesOf(app), app.settingFile().UserOwnFolder(),
               std::filesystem::path(app.state().InstallDirPath.Get())),
      preview_(app),
      box_(new QGroupBox(this)),
      question_(new QLabel(box_)),
      partners_(new QComboBox(box_)),
      browse_(new CURLLinkButton(app.urlOpener(), kBrowseLinkId, box_)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(box_);
    outer->addStretch();
    auto* grid = new QGridLayout(box_);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    question_->setWordWrap(true);
    grid->addWidget(question_, 0, 0, 1, 2);
    const int radios[] = {kDefaultRadio, kOwnRadio, kPartnerRadio};
    const int plays[] = {kPlayDefault, kPlayOwn, kPlayPartner};
    for (int i = 0; i < 3; ++i) {
        playButtons_[i] = AddToneRadioRow(*grid, 1 + i, group_, radios[i], preview_, plays[i],
                                          [this](int id) { PressPlay(id); });
    }
    grid->addWidget(partners_, 4, 0, 1, 2);
    grid->addWidget(browse_, 5, 0, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(0, 1);
    for (const partner::PartnerTone& tone : options_.PartnerTones()) {
        partners_->addItem(QString::fromStdString(tone.title));
    }
    partners_->setCurrentIndex(options_.PartnerIndex());
    const bool hasPartner = !options_.PartnerTones().empty();
    partners_->setEnabled(hasPartner);
    // Without the partner service an empty list says nothing: only its disabled radio shows.
    partners_->setVisible(hasPartner);
    group_.button(kPartnerRadio)->setEnabled(hasPartner);
    connect(&group_, &QButtonGroup::idClicked, this, &OptionRbtPanel::Ticked);
    connect(partners_, &QComboBox::activated, this,
            [this](int index) { options_.SelectPartner(index); });
    connect(browse_, &CURLLinkButton::linkClicked, this, [this] { Browse(); });
    ShowSetting();
    RefreshTexts();
}

void OptionRbtPanel::ShowSetting() {
    const int id = options_.Setting() == 1   ? kOwnRadio
                   : options_.Setting() == 2 ? kPartnerRadio
                                             : kDefaultRadio;
    group_.button(id)->setChecked(true);
    if (QAbstractButton* play = group_.button(kPartnerRadio)) {
        // Nothing to hear without a partner tone or an own tone.
        playButtons_[2]->setEnabled(play->isEnabled());
    }
    playButtons_[1]->setEnabled(!options_.OwnTitle().empty());
    const std::u16string title = options_.OwnTitle();
    const int32_t language = ShownLanguage(application().state());
    QRadioButton* own = radio(kOwnRadio);
    const QString text = title.empty() ? Text(i18n::TXT_CHOOSE_RINGBACK, language)
                                       : QString::fromStdU16String(title);
    own->setText(own->fontMetrics().elidedText(text, Qt::ElideMiddle, 220));
    own->setToolTip(text);
}

void OptionRbtPanel::Ticked(int id) {
    switch (id) {
        case kDefaultRadio:
            options_.ChooseDefault();
            break;
        case kPartnerRadio:
            options_.ChoosePartner();
            break;
        case kOwnRadio:
            if (options_.OwnTitle().empty()) {
                Browse();
            } else {
                options_.ChooseOwn();
            }
            break;
        default:
            break;
    }
    ShowSetting();
}

FilePickUpDialog* OptionRbtPanel::Browse() {
    if (picker_ && picker_->isVisible()) {
        return picker_;
    }
    auto* picker =
        new FilePickUpDialog(application(), FilePickUpDialog::Purpose::RingBack, window());
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &QDialog::finished, this, &OptionRbtPanel::PickerFinished);
    picker_ = picker;
    picker->open();
    return picker;
}

void OptionRbtPanel::PickerFinished(int result) {
    if (result == QDialog::Accepted && picker_) {
        options_.Picked(picker_->itemId(), picker_->sourceName());
    }
    ShowSetting();
}

void OptionRbtPanel::PressPlay(int id) {
    std::optional<std::filesystem::path> file;
    switch (id) {
        case kPlayDefault:
            file = options_.DefaultFile();
            break;
        case kPlayOwn:
            file = options_.OwnFile();
            break;
        case kPlayPartner:
            file = options_.PartnerFile();
            break;
        default:
            break;
    }
    if (file) {
        preview_.Press(id, *file);
    }
}

void OptionRbtPanel::Apply() {
    options_.Apply();
}

void OptionRbtPanel::Revert() {
    options_.Revert();
}

void OptionRbtPanel::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    box_->setTitle(Text(i18n::TXT_STANDARD_RINGBACK, language));
    question_->setText(Text(i18n::TXT_RINGBACK_QUESTION, language));
    radio(kDefaultRadio)->setText(Text(i18n::TXT_DEFAULT_RINGBACK, language));
    radio(kPartnerRadio)->setText(QStringLiteral("Quorin"));
    browse_->setText(Text(i18n::TXT_BROWSE, language));
    ShowSetting();
}

}  // namespace velto::ui
