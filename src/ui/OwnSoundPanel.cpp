#include "ui/OwnSoundPanel.h"

#include <QVBoxLayout>

#include "app/Application.h"
#include "platform/Text.h"
#include "ui/Colours.h"
#include "ui/GreetingRecorderPlug.h"
#include "ui/Texts.h"
#include "ui/model/ToneFiles.h"

namespace velto::ui {
namespace {

constexpr int kRecordLinkId = 1108;

constexpr TonePage::Choice kOwnSoundChoices[] = {
    {OwnSoundPanel::kDefaultRadio, OwnSoundPanel::kPlayDefault},
    {OwnSoundPanel::kOwnRadio, OwnSoundPanel::kPlayOwn},
};

}  // namespace

OwnSoundPanel::OwnSoundPanel(app::Application& app, OwnSoundOptions::Sound sound, QWidget* parent)
    : TonePage(app,
               sound == OwnSoundOptions::Sound::RingTone ? FilePickUpDialog::Purpose::RingTone
                                                         : FilePickUpDialog::Purpose::Greeting,
               kOwnSoundChoices, parent),
      sound_(sound),
      options_(sound, {app.userSettings(), app.settingFile(), {}},
               app.settingFile().UserOwnFolder(),
               std::filesystem::path(app.state().InstallDirPath.Get())),
      title_(new QLabel(box())) {
    if (sound_ == OwnSoundOptions::Sound::Greeting) {
        voiceMail_ = new QCheckBox(this);
        PutAbove(voiceMail_);
        connect(voiceMail_, &QCheckBox::clicked, this, [this] {
            options_.ToggleVoiceMail();
            ShowSetting();
        });
        limits_ = new VoiceMailLimitsBox(app.userSettings(), this);
        PutBelow(limits_);
        AddBusyGreeting();
        record_ = new CURLLinkButton(app.urlOpener(), kRecordLinkId, box());
        PutBesideBrowse(record_);
        connect(record_, &CURLLinkButton::linkClicked, this, [this] { Record(); });
    }
    title_->setIndent(24);
    title_->setStyleSheet(QStringLiteral("color: %1;").arg(TextColour(palette()).name()));
    SetLine(title_);
    RefreshTexts();
}

// Under the greeting's choice: what a caller hears after the user declined the call.
void OwnSoundPanel::AddBusyGreeting() {
    app::Application& app = application();
    // The question over the list, so that the list has the page's width in every language.
    auto* row = new QWidget(this);
    auto* layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(4);
    busyLabel_ = new QLabel(row);
    busyLabel_->setWordWrap(true);
    busy_ = new GreetingPicker(app,
                               std::make_unique<GreetingDraft>(
                                   ToneContext{app.userSettings(), app.settingFile(), {}},
                                   app.settingFile().UserOwnFolder(), GreetingDraft::kBusyFileName,
                                   app.userSettings().BusyGreeting()),
                               true, row);
    busyLabel_->setBuddy(busy_->combo());
    layout->addWidget(busyLabel_);
    layout->addWidget(busy_);
    PutBelow(row);
    PlugGreetingRecorder(app, *busy_);
}

void OwnSoundPanel::ShowSetting() {
    group().button(options_.UseDefault() ? kDefaultRadio : kOwnRadio)->setChecked(true);
    // The own sound's play button is enabled only with an own sound.
    playButton(kPlayOwn)->setEnabled(!options_.Title().empty());
    const QString title = QString::fromStdU16String(options_.Title());
    title_->setText(title_->fontMetrics().elidedText(title, Qt::ElideMiddle, 230));
    title_->setToolTip(title);
    // Until the user has a sound of their own, its empty line would gape under the radios.
    title_->setVisible(!title.isEmpty());
    if (voiceMail_) {
        // Voice mail off leaves only the choice of greeting out of reach: the greetings
        // can still be heard and a new one picked for later.
        voiceMail_->setChecked(options_.VoiceMailOn());
        radio(kDefaultRadio)->setEnabled(options_.VoiceMailOn());
        radio(kOwnRadio)->setEnabled(options_.VoiceMailOn());
        limits_->setEnabled(options_.VoiceMailOn());
    }
}

GreetingRecordDialog* OwnSoundPanel::Record() {
    const auto folder = application().settingFile().UserOwnFolder();
    if (!record_ || !folder) {
        return nullptr;
    }
    auto* dialog =
        new GreetingRecordDialog(application(), FileIn(*folder, kOwnGreetingFile), window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        options_.Recorded(platform::Utf8ToUtf16(dialog->target().filename().string()));
        ShowSetting();
    });
    dialog->open();
    return dialog;
}

void OwnSoundPanel::Ticked(int radioId) {
    if (radioId == kOwnRadio && options_.Title().empty()) {
        // Nothing of the user's own yet: pick it first (the choice would otherwise stand
        // for no sound at all).
        Browse();
    } else {
        options_.SetUseDefault(radioId == kDefaultRadio);
    }
    ShowSetting();
}

void OwnSoundPanel::Picked(int32_t itemId, const std::u16string& sourceName) {
    options_.Picked(itemId, sourceName);
}

std::optional<std::filesystem::path> OwnSoundPanel::FileToPlay(int playId) {
    return playId == kPlayDefault
               ? std::optional(options_.DefaultFile(application().state().CurrentLanguage))
               : options_.OwnFile();
}

void OwnSoundPanel::Apply() {
    options_.Apply();
    if (busy_) {
        application().userSettings().SetBusyGreeting(busy_->draft().Commit());
        busy_->ShowChoice();
    }
}

void OwnSoundPanel::Revert() {
    options_.Revert();
    if (limits_) {
        limits_->Revert();
    }
    if (busy_) {
        busy_->draft().Revert();
        busy_->ShowChoice();
    }
    ShowSetting();
}

void OwnSoundPanel::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    const bool ringTone = sound_ == OwnSoundOptions::Sound::RingTone;
    if (voiceMail_) {
        voiceMail_->setText(Text(i18n::TXT_ENABLE_VOICE_MAIL, language));
        limits_->RefreshTexts(language);
        busyLabel_->setText(Text(i18n::TXT_BUSY_GREETING, language));
        busy_->RefreshTexts(language);
        record_->setText(Text(i18n::TXT_RECORD_OWN, language));
    }
    ShowTexts(Text(ringTone ? i18n::TXT_RINGTONE_SETTINGS : i18n::TXT_VOICE_MAIL, language),
              Text(ringTone ? i18n::TXT_RINGTONE_QUESTION : i18n::TXT_VOICE_MAIL, language),
              language);
    question()->setVisible(ringTone);
    radio(kDefaultRadio)
        ->setText(
            Text(ringTone ? i18n::TXT_DEFAULT_RINGTONE : i18n::TXT_DEFAULT_GREETING, language));
    radio(kOwnRadio)->setText(
        Text(ringTone ? i18n::TXT_SELECT_RINGTONE : i18n::TXT_SELECT_GREETING, language));
    ShowSetting();
}

}  // namespace velto::ui
