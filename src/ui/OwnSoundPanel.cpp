#include "ui/OwnSoundPanel.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "app/Application.h"
#include "ui/FilePickUpDialog.h"
#include "ui/Texts.h"
#include "ui/ToneRadioRow.h"

namespace velto::ui {
namespace {

constexpr int kBrowseLinkId = 1107;

}  // namespace

OwnSoundPanel::OwnSoundPanel(app::Application& app, OwnSoundOptions::Sound sound, QWidget* parent)
    : OptionPage(app, parent),
      sound_(sound),
      options_(sound, {app.userSettings(), app.settingFile(), {}},
               app.settingFile().UserOwnFolder(),
               std::filesystem::path(app.state().InstallDirPath.Get())),
      preview_(app),
      box_(new QGroupBox(this)),
      question_(new QLabel(box_)),
      title_(new QLabel(box_)),
      browse_(new CURLLinkButton(app.urlOpener(), kBrowseLinkId, box_)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    if (sound_ == OwnSoundOptions::Sound::Greeting) {
        voiceMail_ = new QCheckBox(this);
        outer->addWidget(voiceMail_);
        connect(voiceMail_, &QCheckBox::clicked, this, [this] {
            options_.ToggleVoiceMail();
            ShowSetting();
        });
    }
    outer->addWidget(box_);
    outer->addStretch();
    auto* grid = new QGridLayout(box_);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    question_->setWordWrap(true);
    grid->addWidget(question_, 0, 0, 1, 2);
    const int radios[] = {kDefaultRadio, kOwnRadio};
    const int plays[] = {kPlayDefault, kPlayOwn};
    for (int i = 0; i < 2; ++i) {
        // The own sound's play button is the last; it is enabled only with an own sound.
        ownPlay_ = AddToneRadioRow(*grid, 1 + 2 * i, group_, radios[i], preview_, plays[i],
                                   [this](int id) { PressPlay(id); });
    }
    title_->setIndent(24);
    title_->setStyleSheet(QStringLiteral("color: #404040;"));
    grid->addWidget(title_, 4, 0, 1, 2);
    grid->addWidget(browse_, 5, 0, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(0, 1);
    connect(&group_, &QButtonGroup::idClicked, this, &OwnSoundPanel::Ticked);
    connect(browse_, &CURLLinkButton::linkClicked, this, [this] { Browse(); });
    RefreshTexts();
}

void OwnSoundPanel::ShowSetting() {
    group_.button(options_.UseDefault() ? kDefaultRadio : kOwnRadio)->setChecked(true);
    ownPlay_->setEnabled(!options_.Title().empty());
    const QString title = QString::fromStdU16String(options_.Title());
    title_->setText(title_->fontMetrics().elidedText(title, Qt::ElideMiddle, 230));
    title_->setToolTip(title);
    // Until the user has a sound of their own, its empty line would gape under the radios.
    title_->setVisible(!title.isEmpty());
    if (voiceMail_) {
        voiceMail_->setChecked(options_.VoiceMailOn());
        box_->setEnabled(options_.VoiceMailOn());
    }
}

void OwnSoundPanel::Ticked(int id) {
    if (id == kOwnRadio && options_.Title().empty()) {
        // Nothing of the user's own yet: pick it first.
        Browse();
    } else {
        options_.SetUseDefault(id == kDefaultRadio);
    }
    ShowSetting();
}

FilePickUpDialog* OwnSoundPanel::Browse() {
    if (picker_ && picker_->isVisible()) {
        return picker_;
    }
    auto* picker = new FilePickUpDialog(application(),
                                        sound_ == OwnSoundOptions::Sound::RingTone
                                            ? FilePickUpDialog::Purpose::RingTone
                                            : FilePickUpDialog::Purpose::Greeting,
                                        window());
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &QDialog::finished, this, &OwnSoundPanel::PickerFinished);
    picker_ = picker;
    picker->open();
    return picker;
}

void OwnSoundPanel::PickerFinished(int result) {
    if (result == QDialog::Accepted && picker_) {
        options_.Picked(picker_->itemId(), picker_->sourceName());
    }
    ShowSetting();
}

void OwnSoundPanel::PressPlay(int id) {
    const auto file =
        id == kPlayDefault
            ? std::optional(options_.DefaultFile(application().state().CurrentLanguage))
            : options_.OwnFile();
    if (file) {
        preview_.Press(id, *file);
    }
}

void OwnSoundPanel::Apply() {
    options_.Apply();
}

void OwnSoundPanel::Revert() {
    options_.Revert();
    ShowSetting();
}

void OwnSoundPanel::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    const bool ringTone = sound_ == OwnSoundOptions::Sound::RingTone;
    if (voiceMail_) {
        voiceMail_->setText(Text(i18n::TXT_ENABLE_VOICE_MAIL, language));
    }
    box_->setTitle(Text(ringTone ? i18n::TXT_RINGTONE_SETTINGS : i18n::TXT_VOICE_MAIL, language));
    question_->setText(
        Text(ringTone ? i18n::TXT_RINGTONE_QUESTION : i18n::TXT_VOICE_MAIL, language));
    question_->setVisible(ringTone);
    radio(kDefaultRadio)
        ->setText(
            Text(ringTone ? i18n::TXT_DEFAULT_RINGTONE : i18n::TXT_DEFAULT_GREETING, language));
    radio(kOwnRadio)->setText(
        Text(ringTone ? i18n::TXT_SELECT_RINGTONE : i18n::TXT_SELECT_GREETING, language));
    browse_->setText(Text(i18n::TXT_BROWSE, language));
    ShowSetting();
}

}  // namespace velto::ui
