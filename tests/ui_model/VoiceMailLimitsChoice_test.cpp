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

}  // namespace
}  // namespace velto::ui
