#include "ui/OptionGeneralPanel.h"

#include <QVBoxLayout>

#include "app/Application.h"
#include "i18n/Languages.h"
#include "ui/Texts.h"

namespace velto::ui {

OptionGeneralPanel::OptionGeneralPanel(app::Application& app, QWidget* parent)
    : OptionPage(app, parent),
      options_({app.state(), app.registrySettings(),
                [&app](int32_t language) {
                    return app.registrySettings().ChangeLanguage(language, app.refreshList());
                },
                [&app] { app.partner().StartEngine(); }}),
      box_(new QGroupBox(this)),
      autoStart_(new QCheckBox(box_)),
      friendMsg_(new QCheckBox(box_)),
      autoUpdate_(new QCheckBox(box_)),
      languageLabel_(new QLabel(box_)),
      languages_(new QComboBox(box_)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(box_);
    outer->addStretch();
    auto* layout = new QVBoxLayout(box_);
    layout->setSpacing(10);
    for (QCheckBox* box : {autoStart_, friendMsg_, autoUpdate_}) {
        layout->addWidget(box);
    }
    autoUpdate_->hide();
    layout->addSpacing(6);
    layout->addWidget(languageLabel_);
    layout->addWidget(languages_);
    for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
        languages_->addItem(QString::fromStdU16String(std::u16string(i18n::DisplayName(language))));
    }
    ShowSwitches();
    languages_->setCurrentIndex(ShownLanguage(app.state()));
    // Clicks, not state changes: setting the boxes from the settings must store nothing.
    connect(autoStart_, &QCheckBox::clicked, this, [this] {
        options_.ToggleAutoStart();
        ShowSwitches();
    });
    connect(friendMsg_, &QCheckBox::clicked, this, [this] {
        options_.ToggleFriendMsg();
        ShowSwitches();
    });
    connect(autoUpdate_, &QCheckBox::clicked, this, [this] {
        options_.ToggleAutoUpdate();
        ShowSwitches();
    });
    connect(languages_, &QComboBox::activated, this, [this](int index) {
        if (!options_.ChooseLanguage(index)) {
            languages_->setCurrentIndex(ShownLanguage(application().state()));
        }
    });
    RefreshTexts();
}

void OptionGeneralPanel::ShowSwitches() {
    autoStart_->setChecked(options_.AutoStart());
    friendMsg_->setChecked(options_.FriendMsg());
    autoUpdate_->setChecked(options_.AutoUpdate());
}

void OptionGeneralPanel::Apply() {
    options_.Apply();
}

void OptionGeneralPanel::Revert() {
    options_.Revert();
    ShowSwitches();
}

void OptionGeneralPanel::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    box_->setTitle(Text(i18n::TXT_GENERAL, language));
    autoStart_->setText(Text(i18n::TXT_START_AT_LOGIN, language));
    friendMsg_->setText(Text(i18n::TXT_TONE_INFO_OPTION, language));
    autoUpdate_->setText(Text(i18n::TXT_AUTO_UPDATE, language));
    languageLabel_->setText(Text(i18n::TXT_SELECT_LANGUAGE, language));
    languages_->setCurrentIndex(language);
}

}  // namespace velto::ui
