#include <QTest>

#include "UiFixture.h"
#include "core/Messages.h"
#include "i18n/LanguageTable.h"

namespace velto::ui::test {
namespace {

class MainWindowTest : public UiFixture {};

TEST_F(MainWindowTest, ShowsTheFixedFrameAndAttachesWithTheContactListArea) {
    StartApp();
    ForTestDialog& window = mainWindow();
    EXPECT_EQ(window.size(), QSize(350, 462));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velto MP3 Ringback Tones"));
    EXPECT_EQ(window.contactListSlot()->geometry(), QRect(1, 56, 348, 360));
    ASSERT_TRUE(RunUntil([&] { return window.contactListSlot()->isVisibleTo(&window); }));
    EXPECT_TRUE(window.statusLabel()->text().isEmpty());
    EXPECT_FALSE(window.waitingAnimation()->isVisibleTo(&window));
}

}  // namespace
}  // namespace velto::ui::test
