#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <atomic>

#include <gtest/gtest.h>

#include "DevHttpServer.h"
#include "calls/AnsweringPanel.h"
#include "i18n/Languages.h"
#include "platform/Trace.h"
#include "platform/UrlOpener.h"
#include "platform/VirtualClock.h"
#include "ui/AnsweringPanelWindow.h"
#include "ui/Artwork.h"
#include "ui/BannerPanel.h"
#include "ui/CURLLinkButton.h"
#include "ui/CxSkinButton.h"
#include "ui/QtAnsweringPanels.h"
#include "ui/QtLoopBridge.h"
#include "ui/ScreeningPanelWindow.h"
#include "ui/TStackedDialog.h"

namespace velto::ui::test {
namespace {

TEST(SkinButton, AClickOnATransparentCornerDoesNotPressTheRoundButton) {
    QImage mask(20, 20, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if ((x - 9.5) * (x - 9.5) + (y - 9.5) * (y - 9.5) <= 81) {
                mask.setPixel(x, y, qRgb(0, 0, 0));
            }
        }
    }
    const QRegion region = CxSkinButton::RegionFromMask(mask, qRgb(255, 255, 255));
    EXPECT_TRUE(region.contains(QPoint(10, 10)));
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(19, 19)));
    EXPECT_EQ(region.boundingRect(), QRect(1, 1, 18, 18));

    QWidget parent;
    auto* button = new CxSkinButton(&parent);
    QPixmap face(20, 20);
    face.fill(Qt::blue);
    CxSkinButton::Skin skin;
    skin.normal = face;
    skin.mask = mask;
    button->SetSkin(std::move(skin));
    parent.show();
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    const auto click = [button](QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, {});
        QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(button, &press);
        QApplication::sendEvent(button, &release);
    };
    click(QPoint(0, 0));
    EXPECT_EQ(clicks.count(), 0);
    click(QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
}

// At 2x the artwork is drawn with twice the pixels (sharp, not stretched) and keeps its size
// in layout units, so a skinned button is as large as at 1x.
TEST(Artwork, IsDrawnForTheScreensPixelRatioAtTheSameLayoutSize) {
    const QPixmap once = ArtworkPixmap(QStringLiteral("btn_play"), QSize(20, 20), 1.0);
    const QPixmap twice = ArtworkPixmap(QStringLiteral("btn_play"), QSize(20, 20), 2.0);
    EXPECT_EQ(once.size(), QSize(20, 20));
    EXPECT_EQ(twice.size(), QSize(40, 40));
    EXPECT_EQ(twice.deviceIndependentSize(), QSizeF(20, 20));
    // More detail than the 1x picture blown up: the 2x one is not a plain enlargement.
    const QImage blownUp = once.toImage().scaled(40, 40).convertToFormat(QImage::Format_ARGB32);
    EXPECT_NE(twice.toImage().convertToFormat(QImage::Format_ARGB32), blownUp);

    CxSkinButton button;
    CxSkinButton::Skin skin;
    skin.normal = twice;
    button.SetSkin(std::move(skin));
    EXPECT_EQ(button.size(), QSize(20, 20));
}

TEST(LinkButton, OpensAddressesAndHandsOtherTextsToItsParent) {
    platform::RecordingUrlOpener browser;
    CURLLinkButton link(browser, 1077);
    QSignalSpy handed(&link, &CURLLinkButton::linkClicked);
    link.setText(QStringLiteral("Browse"));
    link.click();
    ASSERT_EQ(handed.count(), 1);
    EXPECT_EQ(handed.at(0).at(0).toInt(), 1077);
    EXPECT_TRUE(link.visited());
    link.setText(QStringLiteral("www.velto.example/help"));
    link.SetPrefix(QStringLiteral("https://"));
    link.click();
    EXPECT_EQ(handed.count(), 1);
    EXPECT_EQ(browser.opened(), std::vector<std::string>{"https://www.velto.example/help"});
    EXPECT_FALSE(CURLLinkButton::IsAddress(QStringLiteral("file:///etc/passwd")));
}

TEST(BannerPanel, AcceptsOnlyWholeTextPagesWithinTheCap) {
    EXPECT_TRUE(BannerPanel::AcceptPage(200, "<p>hello</p>", true));
    EXPECT_FALSE(BannerPanel::AcceptPage(404, "<p>gone</p>", true));
    EXPECT_FALSE(BannerPanel::AcceptPage(200, "<p>half", false));
    EXPECT_FALSE(BannerPanel::AcceptPage(200, std::string("a\0b", 3), true));
    EXPECT_FALSE(BannerPanel::AcceptPage(200, "\xff\xfe garbage", true));
    // 256 KiB = 262,144 bytes is the largest page shown.
    const auto largest = BannerPanel::AcceptPage(200, std::string(262144, 'a'), true);
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->size(), 262144);
    EXPECT_FALSE(BannerPanel::AcceptPage(200, std::string(262145, 'a'), true));
}

TEST(BannerPanel, AnUnreachableServerLeavesThePlaceholder) {
    platform::RealClock clock;
    platform::Workers workers(clock);
    platform::RecordingUrlOpener browser;
    BannerPanel panel(clock, workers, browser);
    const QString placeholder = panel.toHtml();
    panel.Navigate("http://127.0.0.1:1/veltorbt/v1_2/adpanel/main/?lang=eng");
    QSignalSpy arrived(&panel, &BannerPanel::pageArrived);
    ASSERT_TRUE(arrived.wait(10000));
    EXPECT_FALSE(arrived.at(0).at(0).toBool());
    EXPECT_EQ(panel.toHtml(), placeholder);
    EXPECT_TRUE(panel.shownAddress().empty());
    workers.JoinAll();
}

// The cap holds while the page arrives, whether its length is announced or not: a page of
// 262,144 bytes is shown, one of 262,145 is given up as soon as that shows.
TEST(BannerPanel, ThePageCapHoldsOnTheWayIn) {
    platform::RealClock clock;
    platform::Workers workers(clock);
    platform::RecordingUrlOpener browser;
    devserver::DevHttpServer server;
    ASSERT_TRUE(server.Start("127.0.0.1", 0));
    const std::string page = "<p>" + std::string(262144 - 7, 'a') + "</p>";
    server.AddFile("/largest", page);
    server.AddFile("/over", page + " ");
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    BannerPanel panel(clock, workers, browser);
    for (const bool announced : {true, false}) {
        server.faults().noContentLength = !announced;
        QSignalSpy arrived(&panel, &BannerPanel::pageArrived);
        panel.Navigate(base + "/largest");
        ASSERT_TRUE(arrived.wait(10000));
        EXPECT_TRUE(arrived.at(0).at(0).toBool()) << announced;
        EXPECT_EQ(panel.shownAddress(), base + "/largest");
        platform::TraceCapture trace;
        panel.Navigate(base + "/over");
        ASSERT_TRUE(arrived.wait(10000));
        EXPECT_FALSE(arrived.at(1).at(0).toBool()) << announced;
        EXPECT_EQ(panel.shownAddress(), base + "/largest");  // the last good page stays
        EXPECT_TRUE(trace.Contains("BannerPanel: " + base + "/over: page too long\n"))
            << trace.Text();
    }
    workers.JoinAll();
}

TEST(AnsweringPanelWindow, WidensInStepsAndIsShapedAsTwoCirclesAndABar) {
    const QFontMetrics metrics(QApplication::font());
    EXPECT_EQ(AnsweringPanelWindow::TextWidth(metrics, QStringLiteral("Bob")), 100);
    const QString longName = QStringLiteral(
        "Maximilian Alexander von Hohenzollern-Sigmaringen der Dritte aus Oberammergau");
    const int width = AnsweringPanelWindow::TextWidth(metrics, longName);
    EXPECT_GT(width, 100);
    EXPECT_EQ((width - 100) % 20, 0);
    EXPECT_LE(
        metrics.boundingRect(QRect(0, 0, width, 40), Qt::TextWordWrap | Qt::AlignCenter, longName)
            .height(),
        40);
    EXPECT_GT(
        metrics
            .boundingRect(QRect(0, 0, width - 20, 40), Qt::TextWordWrap | Qt::AlignCenter, longName)
            .height(),
        40);

    const QRegion shape = AnsweringPanelWindow::Shape(290);
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(289, 51)));
    EXPECT_TRUE(shape.contains(QPoint(26, 0)));
    EXPECT_TRUE(shape.contains(QPoint(1, 26)));
    EXPECT_TRUE(shape.contains(QPoint(288, 26)));

    AnsweringPanelWindow panel(QStringLiteral("Bob"), [](int) {});
    EXPECT_EQ(panel.size(), QSize(290, 52));
    EXPECT_EQ(panel.declineButton()->geometry(), QRect(155, 6, 44, 40));
    EXPECT_EQ(panel.takeButton()->geometry(), QRect(214, 6, 44, 40));
    EXPECT_TRUE(panel.windowFlags() & Qt::WindowStaysOnTopHint);
    // A name that would push the buttons off the screen is shortened instead.
    AnsweringPanelWindow huge(QString(2000, QLatin1Char('W')), [](int) {});
    EXPECT_LE(huge.width(), AnsweringPanelWindow::kMaxTextWidth + 190);
}

// The handler's side runs on its own thread; the window on this (the UI) thread.
TEST(QtAnsweringPanels, TheWindowFollowsTheModelAndWritesTheUsersDecision) {
    QtAnsweringPanels panels;
    for (const int button :
         {calls::AnsweringPanelModel::kTakeButton, calls::AnsweringPanelModel::kDeclineButton}) {
        std::atomic<int> woken{0};
        auto panel = panels.Create(
            {.callId = 7, .partnerHandle = "bob", .text = "Bob", .wake = [&] { ++woken; }});
        panel->Show();
        QApplication::processEvents();
        auto shown = panels.ShownWindows();
        ASSERT_EQ(shown.size(), 1u);
        CxSkinButton* pressed = button == calls::AnsweringPanelModel::kTakeButton
                                    ? shown[0]->takeButton()
                                    : shown[0]->declineButton();
        QTest::mouseClick(pressed, Qt::LeftButton, {}, QPoint(22, 20));
        EXPECT_EQ(panel->Decision(), button == calls::AnsweringPanelModel::kTakeButton
                                         ? calls::AnsweringPanel::kTake
                                         : calls::AnsweringPanel::kDecline);
        EXPECT_FALSE(panel->IsShown());
        EXPECT_EQ(woken.load(), 1);
        EXPECT_TRUE(panels.ShownWindows().empty());
        panel.reset();
        QApplication::processEvents();
    }
    // The caller hangs up: the handler hides the panel and writes 2 itself.
    auto panel =
        panels.Create({.callId = 8, .partnerHandle = "carol", .text = "Carol", .wake = {}});
    panel->Show();
    QApplication::processEvents();
    ASSERT_EQ(panels.ShownWindows().size(), 1u);
    panel->Hide();
    panel->SetDecision(calls::AnsweringPanel::kDecline);
    QApplication::processEvents();
    EXPECT_TRUE(panels.ShownWindows().empty());
    EXPECT_EQ(panel->Decision(), calls::AnsweringPanel::kDecline);
}

// While the machine records: the ringing window gives way to "Leaving a message: NAME";
// Listen turns on and off (the model follows, and the window follows a scripted press),
// Pick up takes the call and closes the window.
TEST(QtAnsweringPanels, TheScreeningWindowListensAndPicksUp) {
    QtAnsweringPanels panels;
    panels.SetLanguage([] { return i18n::kGerman; });
    std::atomic<int> woken{0};
    auto panel = panels.Create(
        {.callId = 9, .partnerHandle = "bob", .text = "Bob", .wake = [&] { ++woken; }});
    panel->Show();
    panel->Hide();
    panel->SetDecision(calls::AnsweringPanel::kDecline);
    panel->Screen();
    QApplication::processEvents();
    EXPECT_TRUE(panels.ShownWindows().empty());
    auto shown = panels.ShownScreeningWindows();
    ASSERT_EQ(shown.size(), 1u);
    ScreeningPanelWindow* window = shown[0];
    EXPECT_EQ(window->shownText(), QStringLiteral("Hinterlässt eine Nachricht: Bob"));
    EXPECT_EQ(window->listenButton()->text(), QStringLiteral("Mithören"));
    EXPECT_EQ(panel->Decision(), calls::AnsweringPanel::kUndecided);
    EXPECT_TRUE(panel->IsScreening());

    QTest::mouseClick(window->listenButton(), Qt::LeftButton);
    EXPECT_TRUE(panel->Listening());
    EXPECT_TRUE(window->listenButton()->isChecked());
    EXPECT_TRUE(panel->IsShown());
    panel->PressButton(calls::AnsweringPanelModel::kListenButton);  // the script's press
    panel->PumpMessages();
    QApplication::processEvents();
    EXPECT_FALSE(panel->Listening());
    EXPECT_FALSE(window->listenButton()->isChecked());
    // The ringing panel's buttons mean nothing now.
    panel->PressButton(calls::AnsweringPanelModel::kDeclineButton);
    EXPECT_EQ(panel->Decision(), calls::AnsweringPanel::kUndecided);

    const int before = woken.load();
    QTest::mouseClick(window->pickUpButton(), Qt::LeftButton);
    EXPECT_EQ(panel->Decision(), calls::AnsweringPanel::kTake);
    EXPECT_FALSE(panel->IsShown());
    EXPECT_GT(woken.load(), before);
    QApplication::processEvents();
    EXPECT_TRUE(panels.ShownScreeningWindows().empty());
    panel.reset();
    QApplication::processEvents();
}

// The buttons sit inside the shape, right of the text, whatever the labels' lengths.
TEST(ScreeningPanelWindow, ButtonsStayInsideTheShapeRightOfTheText) {
    for (const auto& [listen, pickUp] :
         {std::pair{QStringLiteral("Listen"), QStringLiteral("Pick up")},
          std::pair{QStringLiteral("Meeluisteren"), QStringLiteral("Opnemen")},
          std::pair{QStringLiteral("聞く"), QStringLiteral("応答")}}) {
        ScreeningPanelWindow window(QStringLiteral("Leaving a message: Bob"), listen, pickUp,
                                    [](int) {});
        const QRegion shape = AnsweringPanelWindow::Shape(window.width());
        for (QPushButton* button : {window.listenButton(), window.pickUpButton()}) {
            const QRect box = button->geometry();
            EXPECT_TRUE(shape.contains(box.topLeft()) && shape.contains(box.bottomRight()))
                << button->text().toStdString();
            EXPECT_GT(box.left(), 25 + window.textWidth()) << button->text().toStdString();
            EXPECT_GE(box.width(), button->fontMetrics().horizontalAdvance(button->text()) + 24);
        }
        EXPECT_LT(window.listenButton()->geometry().right(),
                  window.pickUpButton()->geometry().left());
        // A short line stays one line.
        EXPECT_GE(window.textWidth(), window.fontMetrics().horizontalAdvance(window.shownText()));
        EXPECT_EQ(window.height(), AnsweringPanelWindow::kHeight);
    }
}

TEST(QtLoopBridge, PostsWakeQtAndADrainNeverRunsInsideAnother) {
    platform::RealClock clock;
    platform::MessageLoop loop(clock);
    QtLoopBridge bridge(loop);
    std::vector<int> order;
    loop.Post([&] {
        order.push_back(1);
        loop.Post([&] {
            order.push_back(3);
            loop.Quit(0);
        });
        // A task's own event loop (a modal dialog) must not run the next task inside it.
        QApplication::processEvents();
        order.push_back(2);
    });
    bridge.Exec();
    QApplication::processEvents();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

class TwoPages : public TStackedDialog {
  public:
    std::vector<std::string> log;

  protected:
    TStackedPage* CreatePage(int id) override {
        if (id != 1 && id != 2) {
            return nullptr;
        }
        struct Page : TStackedPage {
            Page(TwoPages& d, int id) : dialog(d), id(id) {}
            void OnCreatePage() override { dialog.log.push_back("create " + std::to_string(id)); }
            void OnSetActive() override { dialog.log.push_back("active " + std::to_string(id)); }
            void OnKillActive() override { dialog.log.push_back("kill " + std::to_string(id)); }
            TwoPages& dialog;
            int id;
        };
        return new Page(*this, id);
    }
    void PageChanged(int id) override { log.push_back("changed " + std::to_string(id)); }
};

TEST(TStackedDialog, ShowsOnePageAtATimeOverThePlaceholder) {
    TwoPages dialog;
    dialog.resize(300, 200);
    auto* placeholder = new QWidget(&dialog);
    placeholder->setGeometry(10, 20, 200, 100);
    dialog.SetPlaceholder(placeholder);
    EXPECT_TRUE(dialog.ActivatePage(1));
    EXPECT_TRUE(dialog.ActivatePage(2));
    EXPECT_FALSE(dialog.ActivatePage(3));
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"create 1", "active 1", "changed 1", "create 2",
                                                    "kill 1", "active 2", "changed 2"}));
    EXPECT_EQ(dialog.ActivePage(), dialog.FindPage(2));
    EXPECT_FALSE(dialog.FindPage(1)->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.FindPage(2)->geometry(), QRect(10, 20, 200, 100));
}

}  // namespace
}  // namespace velto::ui::test
