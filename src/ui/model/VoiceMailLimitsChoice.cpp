#include "ui/model/VoiceMailLimitsChoice.h"

#include <algorithm>

namespace velto::ui {
namespace {

int Clamp(int value, VoiceMailLimitsChoice::Range range) {
    return std::clamp(value, range.low, range.high);
}

// Milliseconds shown in whole units, rounded to the nearest.
int Units(int32_t ms, int unitMs, VoiceMailLimitsChoice::Range range) {
    return Clamp((ms + unitMs / 2) / unitMs, range);
}

}  // namespace

VoiceMailLimitsChoice::VoiceMailLimitsChoice(core::UserSettings& settings)
    : settings_(settings), opened_(settings.VoiceMailLimits()) {}

int VoiceMailLimitsChoice::SilenceSeconds() const {
    return Units(settings_.VoiceMailLimits().silenceMs, 1000, kSilenceSeconds);
}

int VoiceMailLimitsChoice::VoiceSeconds() const {
    return Units(settings_.VoiceMailLimits().minVoiceMs, 1000, kVoiceSeconds);
}

int VoiceMailLimitsChoice::LengthMinutes() const {
    return Units(settings_.VoiceMailLimits().maxLengthMs, 60000, kLengthMinutes);
}

void VoiceMailLimitsChoice::SetSilenceSeconds(int seconds) {
    core::VoiceMailLimits limits = settings_.VoiceMailLimits();
    limits.silenceMs = Clamp(seconds, kSilenceSeconds) * 1000;
    settings_.SetVoiceMailLimits(limits);
}

void VoiceMailLimitsChoice::SetVoiceSeconds(int seconds) {
    core::VoiceMailLimits limits = settings_.VoiceMailLimits();
    limits.minVoiceMs = Clamp(seconds, kVoiceSeconds) * 1000;
    settings_.SetVoiceMailLimits(limits);
}

void VoiceMailLimitsChoice::SetLengthMinutes(int minutes) {
    core::VoiceMailLimits limits = settings_.VoiceMailLimits();
    limits.maxLengthMs = Clamp(minutes, kLengthMinutes) * 60000;
    settings_.SetVoiceMailLimits(limits);
}

void VoiceMailLimitsChoice::Revert() {
    settings_.SetVoiceMailLimits(opened_);
}

}  // namespace velto::ui
