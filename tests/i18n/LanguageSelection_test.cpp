#include <gtest/gtest.h>

#include "i18n/ConfiguredLanguageChooser.h"
#include "i18n/LanguageSelectionModel.h"
#include "i18n/Languages.h"
#include "i18n/StartupLanguage.h"
#include "platform/Trace.h"

namespace velto::i18n {
namespace {

TEST(LanguageSelectionModel, ListsEnglishFirstThenTheChineseAndGermanThenTheRest) {
    const std::vector<int32_t> order = {3, 0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    const std::vector<std::u16string> items = LanguageSelectionModel::Items();
    ASSERT_EQ(items.size(), order.size());
    for (int position = 0; position < kLanguageCount; ++position) {
        EXPECT_EQ(LanguageSelectionModel::LanguageAt(position), order[position]);
        EXPECT_EQ(LanguageSelectionModel::PositionOf(order[position]), position);
        EXPECT_EQ(items[position], DisplayName(order[position]));
    }
    EXPECT_EQ(items.front(), u"English (English)");
    EXPECT_EQ(items[3], u"Deutsch (German)");
    EXPECT_EQ(LanguageSelectionModel::LanguageAt(-1), kNoLanguage);
    EXPECT_EQ(LanguageSelectionModel::LanguageAt(kLanguageCount), kNoLanguage);
    EXPECT_EQ(LanguageSelectionModel::PositionOf(kNoLanguage), -1);
    EXPECT_EQ(LanguageSelectionModel::kCaption, "Please choose your language!");
}

TEST(LanguageSelectionModel, OpensOnEnglishAndEachSelectionChoosesAtOnce) {
    LanguageSelectionModel model;
    EXPECT_EQ(model.SelectedPosition(), 0);
    EXPECT_EQ(model.ChosenLanguage(), kEnglish);  // OK at once stores 3
    EXPECT_TRUE(model.Select(3));
    EXPECT_EQ(model.ChosenLanguage(), kGerman);
    EXPECT_TRUE(model.Select(14));
    EXPECT_EQ(model.ChosenLanguage(), kSwedish);
    EXPECT_TRUE(model.Select(1));
    EXPECT_EQ(model.ChosenLanguage(), kChineseSimplified);
    EXPECT_FALSE(model.Select(15));
    EXPECT_FALSE(model.Select(-1));
    EXPECT_EQ(model.ChosenLanguage(), kChineseSimplified);  // a bad position changes nothing
    model.Open();
    EXPECT_EQ(model.ChosenLanguage(), kEnglish);
}

TEST(ConfiguredLanguageChooser, AnswersItsConfigurationOrEnglish) {
    EXPECT_EQ(ConfiguredLanguageChooser().ChooseLanguage(), kEnglish);
    EXPECT_EQ(ConfiguredLanguageChooser(kGerman).ChooseLanguage(), kGerman);
    EXPECT_EQ(ConfiguredLanguageChooser(0).ChooseLanguage(), kChineseSimplified);
    platform::TraceCapture trace;
    EXPECT_EQ(ConfiguredLanguageChooser(99).ChooseLanguage(), kEnglish);
    EXPECT_TRUE(trace.Contains("Configured language 99 is no language, keeping English\n"));

    EXPECT_EQ(ConfiguredLanguageChooser::Parse("de"), kGerman);
    EXPECT_EQ(ConfiguredLanguageChooser::Parse("swe"), kSwedish);
    EXPECT_EQ(ConfiguredLanguageChooser::Parse("14"), kSwedish);
    EXPECT_EQ(ConfiguredLanguageChooser::Parse("0"), kChineseSimplified);
    for (const char* bad : {"", "15", "-1", "2x", " 2", "german", "99999999999"}) {
        EXPECT_EQ(ConfiguredLanguageChooser::Parse(bad), std::nullopt) << bad;
    }
}

TEST(StartupLanguage, AsksOnlyWhenNothingUsableIsStored) {
    platform::TraceCapture trace;
    ConfiguredLanguageChooser swedish(kSwedish);
    auto resolved = ResolveStartupLanguage(std::nullopt, swedish);
    EXPECT_EQ(resolved.language, kSwedish);
    EXPECT_TRUE(resolved.mustStore);
    resolved = ResolveStartupLanguage(0xFFFFFFFFu, swedish);
    EXPECT_EQ(resolved.language, kSwedish);
    EXPECT_TRUE(resolved.mustStore);
    EXPECT_EQ(swedish.calls(), 2);

    resolved = ResolveStartupLanguage(5u, swedish);
    EXPECT_EQ(resolved.language, 5);
    EXPECT_FALSE(resolved.mustStore);
    resolved = ResolveStartupLanguage(0u, swedish);
    EXPECT_EQ(resolved.language, 0);
    EXPECT_EQ(swedish.calls(), 2);

    // A hand-edited value that is no language is asked again, not used.
    resolved = ResolveStartupLanguage(15u, swedish);
    EXPECT_EQ(resolved.language, kSwedish);
    EXPECT_TRUE(resolved.mustStore);
    EXPECT_TRUE(trace.Contains("DefaultLanguage 15 is no language, asking again\n"));

    class Broken : public LanguageChooser {
        int32_t ChooseLanguage() override { return 42; }
    } broken;
    resolved = ResolveStartupLanguage(std::nullopt, broken);
    EXPECT_EQ(resolved.language, kEnglish);
    EXPECT_TRUE(resolved.mustStore);
}

}  // namespace
}  // namespace velto::i18n
