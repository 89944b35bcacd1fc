#include "ui/model/VoiceMailLimitsChoice.h"

#include <gtest/gtest.h>

namespace velto::ui {
namespace {

// The page shows whole seconds and minutes (rounded to the nearest, kept in range) and
// changes only the limit the user touched; Cancel puts back what the page opened with.
TEST(VoiceMailLimitsChoice, ShowsWholeUnitsChangesOneLimitAndReverts) {
    core::UserSettings settings;
    settings.SetVoiceMailLimits({6500, 0, 90000});
    VoiceMailLimitsChoice choice(settings);
    EXPECT_EQ(choice.SilenceSeconds(), 7);
    EXPECT_EQ(choice.VoiceSeconds(), 0);
    EXPECT_EQ(choice.LengthMinutes(), 2);

    choice.SetVoiceSeconds(3);
    EXPECT_EQ(settings.VoiceMailLimits(), (core::VoiceMailLimits{6500, 3000, 90000}));
    choice.SetSilenceSeconds(0);
    choice.SetLengthMinutes(99);
    EXPECT_EQ(settings.VoiceMailLimits(), (core::VoiceMailLimits{1000, 3000, 3600000}));

    choice.Revert();
    EXPECT_EQ(settings.VoiceMailLimits(), (core::VoiceMailLimits{6500, 0, 90000}));
}

// Each limit at both ends of the page's range and one past them: the end is kept, one past
// it brought back to the end; in the settings, milliseconds the setting file takes (silence
// 1,000 to 60,000, voice 0 to 10,000, message 10,000 to 3,600,000).
TEST(VoiceMailLimitsChoice, EachLimitHoldsAtBothEndsOfItsRange) {
    core::UserSettings settings;
    settings.SetVoiceMailLimits({6000, 2000, 120000});
    VoiceMailLimitsChoice choice(settings);
    const struct {
        void (VoiceMailLimitsChoice::*set)(int);
        int (VoiceMailLimitsChoice::*get)() const;
        int32_t core::VoiceMailLimits::*field;
        int value;
        int shown;
        int32_t ms;
    } cases[] = {
        {&VoiceMailLimitsChoice::SetSilenceSeconds, &VoiceMailLimitsChoice::SilenceSeconds,
         &core::VoiceMailLimits::silenceMs, 1, 1, 1000},
        {&VoiceMailLimitsChoice::SetSilenceSeconds, &VoiceMailLimitsChoice::SilenceSeconds,
         &core::VoiceMailLimits::silenceMs, 60, 60, 60000},
        {&VoiceMailLimitsChoice::SetSilenceSeconds, &VoiceMailLimitsChoice::SilenceSeconds,
         &core::VoiceMailLimits::silenceMs, 61, 60, 60000},
        {&VoiceMailLimitsChoice::SetVoiceSeconds, &VoiceMailLimitsChoice::VoiceSeconds,
         &core::VoiceMailLimits::minVoiceMs, 0, 0, 0},
        {&VoiceMailLimitsChoice::SetVoiceSeconds, &VoiceMailLimitsChoice::VoiceSeconds,
         &core::VoiceMailLimits::minVoiceMs, -1, 0, 0},
        {&VoiceMailLimitsChoice::SetVoiceSeconds, &VoiceMailLimitsChoice::VoiceSeconds,
         &core::VoiceMailLimits::minVoiceMs, 10, 10, 10000},
        {&VoiceMailLimitsChoice::SetVoiceSeconds, &VoiceMailLimitsChoice::VoiceSeconds,
         &core::VoiceMailLimits::minVoiceMs, 11, 10, 10000},
        {&VoiceMailLimitsChoice::SetLengthMinutes, &VoiceMailLimitsChoice::LengthMinutes,
         &core::VoiceMailLimits::maxLengthMs, 1, 1, 60000},
        {&VoiceMailLimitsChoice::SetLengthMinutes, &VoiceMailLimitsChoice::LengthMinutes,
         &core::VoiceMailLimits::maxLengthMs, 0, 1, 60000},
        {&VoiceMailLimitsChoice::SetLengthMinutes, &VoiceMailLimitsChoice::LengthMinutes,
         &core::VoiceMailLimits::maxLengthMs, 60, 60, 3600000},
        {&VoiceMailLimitsChoice::SetLengthMinutes, &VoiceMailLimitsChoice::LengthMinutes,
         &core::VoiceMailLimits::maxLengthMs, 61, 60, 3600000},
    };
    for (const auto& c : cases) {
        (choice.*c.set)(c.value);
        EXPECT_EQ((choice.*c.get)(), c.shown) << c.value;
        EXPECT_EQ(settings.VoiceMailLimits().*c.field, c.ms) << c.value;
    }
}

}  // namespace
}  // namespace velto::ui
