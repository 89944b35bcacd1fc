#include "ui/VoiceMailLimitsBox.h"

#include <QGridLayout>
#include <QSignalBlocker>

#include "ui/Texts.h"

namespace velto::ui {

VoiceMailLimitsBox::VoiceMailLimitsBox(core::UserSettings& settings, QWidget* parent)
    : QWidget(parent), choice_(settings) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    const VoiceMailLimitsChoice::Range ranges[] = {VoiceMailLimitsChoice::kSilenceSeconds,
                                                   VoiceMailLimitsChoice::kVoiceSeconds,
                                                   VoiceMailLimitsChoice::kLengthMinutes};
    for (int i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(this);
        labels_[i]->setWordWrap(true);
        spins_[i] = new QSpinBox(this);
        spins_[i]->setRange(ranges[i].low, ranges[i].high);
        labels_[i]->setBuddy(spins_[i]);
        grid->addWidget(labels_[i], i, 0);
        grid->addWidget(spins_[i], i, 1, Qt::AlignTop);
    }
    grid->setColumnStretch(0, 1);
    ShowValues();
    connect(spins_[kSilence], &QSpinBox::valueChanged, this,
            [this](int value) { choice_.SetSilenceSeconds(value); });
    connect(spins_[kVoice], &QSpinBox::valueChanged, this,
            [this](int value) { choice_.SetVoiceSeconds(value); });
    connect(spins_[kLength], &QSpinBox::valueChanged, this,
            [this](int value) { choice_.SetLengthMinutes(value); });
}

void VoiceMailLimitsBox::ShowValues() {
    const int values[] = {choice_.SilenceSeconds(), choice_.VoiceSeconds(),
                          choice_.LengthMinutes()};
    for (int i = 0; i < 3; ++i) {
        // Showing a value is no change of the user's.
        const QSignalBlocker quiet(spins_[i]);
        spins_[i]->setValue(values[i]);
    }
}

void VoiceMailLimitsBox::RefreshTexts(int32_t language) {
    labels_[kSilence]->setText(Text(i18n::TXT_VM_SILENCE, language));
    labels_[kVoice]->setText(Text(i18n::TXT_VM_LEAST_VOICE, language));
    labels_[kLength]->setText(Text(i18n::TXT_VM_LONGEST, language));
}

void VoiceMailLimitsBox::Revert() {
    choice_.Revert();
    ShowValues();
}

}  // namespace velto::ui
