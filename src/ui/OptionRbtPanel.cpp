#include "ui/OptionRbtPanel.h"

#include "app/Application.h"
#include "ui/Texts.h"

namespace velto::ui {
namespace {

constexpr TonePage::Choice kRingBackChoices[] = {
    {OptionRbtPanel::kDefaultRadio, OptionRbtPanel::kPlayDefault},
    {OptionRbtPanel::kOwnRadio, OptionRbtPanel::kPlayOwn},
    {OptionRbtPanel::kPartnerRadio, OptionRbtPanel::kPlayPartner},
};

ToneContext TonesOf(app::Application& app) {
    return {app.userSettings(), app.settingFile(), [&app] { return app.partner().Tones(); }};
}

}  // namespace

OptionRbtPanel::OptionRbtPanel(app::Application& app, QWidget* parent)
    : TonePage(app, FilePickUpDialog::Purpose::RingBack, kRingBackChoices, parent),
      options_(TonesOf(app), app.settingFile().UserOwnFolder(),
               std::filesystem::path(app.state().InstallDirPath.Get())),
      partners_(new QComboBox(box())) {
    SetLine(partners_);
    for (const partner::PartnerTone& tone : options_.PartnerTones()) {
        partners_->addItem(QString::fromStdString(tone.title));
    }
    partners_->setCurrentIndex(options_.PartnerIndex());
    const bool hasPartner = !options_.PartnerTones().empty();
    partners_->setEnabled(hasPartner);
    // Without the partner service an empty list says nothing: only its disabled radio shows.
    partners_->setVisible(hasPartner);
    group().button(kPartnerRadio)->setEnabled(hasPartner);
    connect(partners_, &QComboBox::activated, this,
            [this](int index) { options_.SelectPartner(index); });
    ShowSetting();
    RefreshTexts();
}

void OptionRbtPanel::ShowSetting() {
    const int id = options_.Setting() == 1   ? kOwnRadio
                   : options_.Setting() == 2 ? kPartnerRadio
                                             : kDefaultRadio;
    group().button(id)->setChecked(true);
    // Nothing to hear without a partner tone or an own tone.
    playButton(kPlayPartner)->setEnabled(group().button(kPartnerRadio)->isEnabled());
    playButton(kPlayOwn)->setEnabled(!options_.OwnTitle().empty());
    const std::u16string title = options_.OwnTitle();
    const int32_t language = ShownLanguage(application().state());
    QRadioButton* own = radio(kOwnRadio);
    const QString text = title.empty() ? Text(i18n::TXT_CHOOSE_RINGBACK, language)
                                       : QString::fromStdU16String(title);
    own->setText(own->fontMetrics().elidedText(text, Qt::ElideMiddle, 220));
    own->setToolTip(text);
}

void OptionRbtPanel::Ticked(int radioId) {
    switch (radioId) {
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

void OptionRbtPanel::Picked(int32_t itemId, const std::u16string& sourceName) {
    options_.Picked(itemId, sourceName);
}

std::optional<std::filesystem::path> OptionRbtPanel::FileToPlay(int playId) {
    switch (playId) {
        case kPlayDefault:
            return options_.DefaultFile();
        case kPlayOwn:
            return options_.OwnFile();
        case kPlayPartner:
            return options_.PartnerFile();
        default:
            return std::nullopt;
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
    ShowTexts(Text(i18n::TXT_STANDARD_RINGBACK, language),
              Text(i18n::TXT_RINGBACK_QUESTION, language), language);
    radio(kDefaultRadio)->setText(Text(i18n::TXT_DEFAULT_RINGBACK, language));
    radio(kPartnerRadio)->setText(QStringLiteral("Quorin"));
    ShowSetting();
}

}  // namespace velto::ui
