#pragma once

#include <QLabel>
#include <QSpinBox>
#include <QWidget>

#include "ui/model/VoiceMailLimitsChoice.h"

namespace velto::ui {

// The voice mail page's three limits: the silence that ends a message, the voice a
// message needs to be kept, and the longest message.
class VoiceMailLimitsBox : public QWidget {
  public:
    enum Limit { kSilence = 0, kVoice = 1, kLength = 2 };

    VoiceMailLimitsBox(core::UserSettings& settings, QWidget* parent);

    QSpinBox* spin(Limit limit) { return spins_[limit]; }
    QLabel* label(Limit limit) { return labels_[limit]; }

    void RefreshTexts(int32_t language);
    void Revert();

  private:
    void ShowValues();

    VoiceMailLimitsChoice choice_;
    QLabel* labels_[3];
    QSpinBox* spins_[3];
};

}  // namespace velto::ui
