#include <QTest>

#include "UiFixture.h"
#include "core/LanguageChange.h"
#include "core/Messages.h"
#include "i18n/LanguageTable.h"
#include "ui/SubMenuDialog.h"
#include "ui/Texts.h"

namespace velto::ui::test {
namespace {

using Status = ForTestDialog::Status;

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
    // Skype goes: the status comes back and the list goes.
    window.OnMessage(core::WM_SKYPE_LOST, 0, 0);
    EXPECT_FALSE(window.contactListSlot()->isVisibleTo(&window));
}

// The hidden buttons stay hidden, yet 1053 and 1054 act when pressed (as by the keyboard);
// the visible buttons' tooltips come after 300 ms.
TEST_F(MainWindowTest, HiddenButtonsActAndTooltipsComeQuickly) {
    StartApp(false);  // Skype not running: the list is hidden
    ForTestDialog& window = mainWindow();
    window.show();
    for (const int id : {1053, 1054, 1059, 1061}) {
        ASSERT_NE(window.hiddenButton(id), nullptr) << id;
        EXPECT_FALSE(window.hiddenButton(id)->isVisible()) << id;
    }
    EXPECT_EQ(window.hiddenButton(1060), nullptr);
    int opened = 0;
    window.SetOptionsOpener([&] { ++opened; });
    window.hiddenButton(1059)->click();
    window.hiddenButton(1061)->click();
    EXPECT_EQ(opened, 0);
    EXPECT_FALSE(window.contactListSlot()->isVisible());
    window.hiddenButton(1054)->click();
    EXPECT_EQ(opened, 1);
    window.hiddenButton(1053)->click();
    EXPECT_TRUE(window.contactListSlot()->isVisible());

    for (QWidget* button : {static_cast<QWidget*>(window.missedCallButton()),
                            static_cast<QWidget*>(window.optionsButton())}) {
        EXPECT_EQ(button->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, button), 300);
    }
}

TEST_F(MainWindowTest, StatusFollowsTheAttachmentFlags) {
    EXPECT_EQ(ForTestDialog::ChooseStatus(true, true, true, true), Status::SignIn);
    EXPECT_EQ(ForTestDialog::ChooseStatus(false, true, false, true), Status::GivePermission);
    EXPECT_EQ(ForTestDialog::ChooseStatus(false, false, true, false), Status::GivePermission);
    EXPECT_EQ(ForTestDialog::ChooseStatus(false, false, true, true), Status::Waiting);
    EXPECT_EQ(ForTestDialog::ChooseStatus(false, false, false, false), Status::None);

    StartApp(false);  // Skype not running
    ForTestDialog& window = mainWindow();
    EXPECT_EQ(window.statusLabel()->text(), Text(i18n::TXT_SIGN_IN_SKYPE, 3));
    EXPECT_FALSE(window.permissionAnimation()->isVisibleTo(&window));

    auto& state = app_->state();
    state.SkypeNotAvailable = false;
    state.AuthorizationPending = true;
    window.Refresh();
    EXPECT_EQ(window.statusLabel()->text(), Text(i18n::TXT_GIVE_PERMISSION, 3));
    EXPECT_TRUE(window.permissionAnimation()->isVisibleTo(&window));
    EXPECT_TRUE(window.permissionAnimation()->playing());
    // Centred across the window.
    EXPECT_EQ(window.permissionAnimation()->geometry().center().x(), 174);

    state.AuthorizedOnce = true;
    window.Refresh();
    EXPECT_TRUE(window.statusLabel()->text().isEmpty());
    EXPECT_TRUE(window.waitingAnimation()->isVisibleTo(&window));
    EXPECT_FALSE(window.permissionAnimation()->isVisibleTo(&window));
}

TEST_F(MainWindowTest, ANewMissedCallBlinksButtonAndTrayUntilCleared) {
    StartApp();
    ForTestDialog& window = mainWindow();
    EXPECT_EQ(window.blinkTimer().interval(), 800);
    EXPECT_TRUE(window.blinkTimer().isActive());
    const QImage normal = window.missedCallButton()->normalImage().toImage();

    app_->missedCalls().SetNewMissedCall();
    window.BlinkStep();
    EXPECT_TRUE(window.blinkHighlighted());
    EXPECT_NE(window.missedCallButton()->normalImage().toImage(), normal);
    EXPECT_EQ(window.tray()->tooltip(), Text(i18n::TXT_NEW_MISSED_CALL, 3));
    window.BlinkStep();
    EXPECT_FALSE(window.blinkHighlighted());
    window.BlinkStep();
    EXPECT_TRUE(window.blinkHighlighted());

    // Opening the missed calls (attached) clears the flag; the next step is normal.
    bool opened = false;
    window.SetMissedCallOpener([&] { opened = true; });
    ASSERT_TRUE(RunUntil([&] { return app_->state().SkypeAttached.load(); }));
    window.missedCallButton()->click();
    EXPECT_TRUE(opened);
    EXPECT_FALSE(app_->missedCalls().NewMissedCall());
    EXPECT_FALSE(window.blinkHighlighted());
    EXPECT_EQ(window.missedCallButton()->normalImage().toImage(), normal);
    EXPECT_EQ(window.tray()->tooltip(), QStringLiteral("Velto"));
}

TEST_F(MainWindowTest, OnlyTheTopBandDragsTheWindow) {
    EXPECT_FALSE(ForTestDialog::IsCaption(QPoint(100, 1)));
    EXPECT_TRUE(ForTestDialog::IsCaption(QPoint(100, 2)));
    EXPECT_TRUE(ForTestDialog::IsCaption(QPoint(100, 51)));
    EXPECT_FALSE(ForTestDialog::IsCaption(QPoint(100, 52)));

    StartApp(false);
    ForTestDialog& window = mainWindow();
    window.move(100, 100);
    const QPoint start = window.pos();
    // At 1 pixel: nothing moves. At 10 pixels (on the band, clear of the buttons): it moves.
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(300, 1));
    QTest::mouseMove(&window, QPoint(320, 31));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(320, 31));
    EXPECT_EQ(window.pos(), start);
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(110, 30));
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 50), window.mapToGlobal(QPointF(130, 50)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&window, &move);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(130, 50));
    EXPECT_EQ(window.pos(), start + QPoint(20, 20));
}

TEST_F(MainWindowTest, TrayMenuSpeaksTheUsersLanguageOnlyWhileAttached) {
    StartApp(false);
    ForTestDialog& window = mainWindow();
    auto& state = app_->state();
    state.DefaultLanguageIndex = 2;
    state.CurrentLanguage = 7;
    window.tray()->CustomizeMenu();
    EXPECT_EQ(window.tray()->openAction().text(), Text(i18n::TXT_OPEN, 2));
    EXPECT_EQ(window.tray()->quitAction().text(), Text(i18n::TXT_QUIT, 2));
    state.SkypeAttached = true;
    window.tray()->CustomizeMenu();
    EXPECT_EQ(window.tray()->openAction().text(), Text(i18n::TXT_OPEN, 7));
    EXPECT_EQ(window.tray()->quitAction().text(), Text(i18n::TXT_QUIT, 7));
    state.SkypeAttached = false;
}

TEST_F(MainWindowTest, TrayIconWaitsForAHostAndOpenRestoresTheClosedWindow) {
    StartApp(false);
    ForTestDialog& window = mainWindow();
    bool host = false;
    window.tray()->hostAvailable = [&] { return host; };
    window.BlinkStep();
    EXPECT_FALSE(window.tray()->added());
    host = true;
    window.BlinkStep();
    EXPECT_TRUE(window.tray()->added());

    window.close();
    EXPECT_FALSE(window.isVisible());
    window.tray()->openAction().trigger();
    EXPECT_TRUE(window.isVisible());
}

// A secondary dialog that counts its relabellings.
class CountingDialog : public SubMenuDialog {
  public:
    explicit CountingDialog(app::Application& app) : SubMenuDialog(app) { RefreshTexts(); }
    int refreshed = 0;
    QString tip;

  protected:
    void RefreshTexts() override {
        ++refreshed;
        title()->setText(Text(i18n::TXT_MISSED_CALL_TITLE, app().state().CurrentLanguage));
    }
    app::Application& app() { return application(); }
};

TEST_F(MainWindowTest, ALanguageSwitchRelabelsEveryOpenWindowAtOnce) {
    StartApp();
    ASSERT_TRUE(RunUntil([&] { return app_->state().SkypeAttached.load(); }));
    ForTestDialog& window = mainWindow();
    CountingDialog dialog(*app_);
    dialog.show();
    ASSERT_TRUE(core::ChangeLanguage(
        app_->state(), 2, [](int32_t) { return 0; }, app_->refreshList()));
    Settle();
    EXPECT_EQ(dialog.refreshed, 2);
    EXPECT_EQ(dialog.title()->text(), Text(i18n::TXT_MISSED_CALL_TITLE, 2));
    EXPECT_EQ(window.optionsButton()->toolTip(), Text(i18n::TXT_OPTIONS, 2));
    EXPECT_EQ(window.footerLabel()->text(), Text(i18n::TXT_SLOGAN, 2));
}

TEST_F(MainWindowTest, TheTraysQuitSavesAndEndsTheLoop) {
    StartApp();
    ASSERT_TRUE(RunUntil([&] { return app_->state().SkypeAttached.load(); }));
    mainWindow().tray()->quitAction().trigger();
    app_->Run();
    EXPECT_EQ(frontEnd().mainWindow(), nullptr);
    EXPECT_EQ(app_->state().MainWindowHandle, 0u);
    EXPECT_TRUE(trace_.Contains("MainApp: saving the setting file\n"));
}

}  // namespace
}  // namespace velto::ui::test
