#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <filesystem>

#include "FakeNotifications.h"
#include "UiFixture.h"
#include "platform/Text.h"
#include "support/RealTimeLimit.h"
#include "ui/MissedCallDialog.h"

namespace velto::ui::test {
namespace {

using skype::OnlineStatus;
using Mode = FakeNotifications::Mode;

// One second of silence, 16-bit mono at 16000 Hz: a voice message that plays.
std::string SilentWav() {
    const uint32_t dataBytes = 32000;
    std::string wav;
    auto put = [&wav](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wav.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
        }
    };
    wav += "RIFF";
    put(36 + dataBytes, 4);
    wav += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(16000, 4);
    put(32000, 4);
    put(2, 2);
    put(16, 2);
    wav += "data";
    put(dataBytes, 4);
    wav.append(dataBytes, '\0');
    return wav;
}

class NotificationsTest : public UiFixture {
  protected:
    NotificationsTest() : limit_(std::chrono::seconds(60), "notification test") {
        std::filesystem::create_directories(dir_ / "dbus");
        bus_ = std::make_unique<PrivateBus>(dir_ / "dbus");
    }

    ~NotificationsTest() override {
        fake_.reset();
        QDBusConnection::disconnectFromBus(fakeName_);
    }

    // The program with its notifications on the test's bus, in `language`.
    void StartOnBus(int32_t language = 3) {
        QtFrontEnd::Options options;
        options.language = language;
        options.notificationBus = [address = QString::fromStdString(bus_->address())] {
            static int made = 0;
            return QDBusConnection::connectToBus(address,
                                                 QStringLiteral("velto-notifier-%1").arg(++made));
        };
        StartApp(true, std::move(options));
        ASSERT_TRUE(RunUntil([&] { return app_->state().SkypeAttached.load(); }));
        ASSERT_TRUE(Pump([&] { return frontEnd().notifier()->busSettled(); }));
    }

    void Serve(Mode mode) {
        fake_.reset();
        if (!fakeConnected_) {
            fakeConnected_ = true;
            bus_->Connect(fakeName_);
        }
        fake_ = std::make_unique<FakeNotifications>(QDBusConnection(fakeName_), mode);
    }

    // Qt's events (the bus's answers among them) and the program's tasks until `pred`
    // holds, without moving the program's clock.
    bool Pump(const std::function<bool()>& pred) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!pred()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            // (Not a nested QEventLoop: after an earlier test's quit Qt ends those at once.)
            QTimer::singleShot(5, [] {});
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            app_->loop().ProcessPending();
        }
        return true;
    }

    calls::MissedCall Record(const std::string& handle, bool message) {
        calls::MissedCall record{handle, "2026/12/10 01:02:03", message, {}};
        if (message) {
            const std::filesystem::path voice = dir_ / "voice.wav";
            velto::test::WriteFileBytes(voice, SilentWav());
            record.voiceFile = platform::Utf8ToUtf16(voice.string());
        }
        return record;
    }

    QWidget* MissedCallDialogShown() {
        auto* dialog = mainWindow().findChild<MissedCallDialog*>();
        return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
    }

    velto::test::RealTimeLimit limit_;
    std::unique_ptr<PrivateBus> bus_;
    std::unique_ptr<FakeNotifications> fake_;
    const QString fakeName_ = QStringLiteral("fake-notifications");
    bool fakeConnected_ = false;
};

#define REQUIRE_BUS()                                   \
    if (!bus_->running()) {                             \
        GTEST_SKIP() << "dbus-daemon is not installed"; \
    }

TEST_F(NotificationsTest, AMissedCallNamesTheCallerAndCallListOpensTheMissedCalls) {
    REQUIRE_BUS();
    world_->AddContact({"alice", "Alice Archer", "Alice", OnlineStatus::Online});
    Serve(Mode::Answers);
    StartOnBus();

    const int32_t call = world_->IncomingCall("alice");
    ASSERT_TRUE(RunUntil([&] { return trace_.Contains("Stabled"); }));
    world_->CallerHangsUp(call);
    ASSERT_TRUE(RunUntil([&] { return app_->missedCalls().size() == 1; }));
    ASSERT_TRUE(Pump([&] { return fake_->notes.size() == 1; }));
    const FakeNotifications::Note note = fake_->notes.front();
    EXPECT_EQ(note.appName, QStringLiteral("Velto"));
    EXPECT_EQ(note.summary, QStringLiteral("New missed call"));
    EXPECT_EQ(note.body, QStringLiteral("Alice"));
    // No message, no "Play".
    EXPECT_EQ(note.actions, QStringList({"default", "Call list", "calls", "Call list"}));
    EXPECT_EQ(note.hints.value("desktop-entry").toString(), QStringLiteral("velto"));
    ASSERT_TRUE(Pump([&] { return frontEnd().notifier()->shown() == 1; }));

    // "Call list" brings the hidden window and the missed calls to the front.
    mainWindow().hide();
    EXPECT_EQ(MissedCallDialogShown(), nullptr);
    fake_->Invoke(note.id, "calls");
    ASSERT_TRUE(Pump([&] { return MissedCallDialogShown() != nullptr; }));
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_FALSE(app_->missedCalls().NewMissedCall());

    // "Play" of a call without a message, and an id that is not ours, do nothing.
    fake_->Invoke(note.id, "play");
    fake_->Invoke(note.id + 100, "calls");
    ASSERT_TRUE(Pump([&] { return trace_.Contains("\"play\" chosen"); }));
    EXPECT_TRUE(app_->soundPlayer().IsIdle());
    EXPECT_EQ(trace_.Count("chosen for the call"), 2);
    EXPECT_FALSE(trace_.Contains("balloon"));
}

TEST_F(NotificationsTest, AVoiceMessageOffersPlayInTheUsersLanguageAndPlaysIt) {
    REQUIRE_BUS();
    // A name the caller chose, with markup in it: shown as text.
    world_->AddContact({"eve", "", "Eve <b>&", OnlineStatus::Online});
    Serve(Mode::AnswersWithoutInhibit);
    StartOnBus(2);  // German

    app_->missedCalls().AddSaveAndFlag(Record("eve", true));
    ASSERT_TRUE(Pump([&] { return fake_->notes.size() == 1; }));
    const FakeNotifications::Note note = fake_->notes.front();
    EXPECT_EQ(note.summary, QStringLiteral("Neue Sprachnachricht"));
    EXPECT_EQ(note.body, QStringLiteral("Eve &lt;b&gt;&amp;"));
    EXPECT_EQ(note.actions,
              QStringList({"default", "Anrufliste", "play", "Abspielen", "calls", "Anrufliste"}));
    ASSERT_TRUE(Pump([&] { return frontEnd().notifier()->shown() == 1; }));

    fake_->Invoke(note.id, "play");
    ASSERT_TRUE(Pump([&] { return !app_->soundPlayer().IsIdle(); }));
    EXPECT_TRUE(trace_.Contains("plays the message " + (dir_ / "voice.wav").string()));
    EXPECT_EQ(MissedCallDialogShown(), nullptr);

    // Once the desktop closed it, its buttons are nobody's.
    fake_->Close(note.id);
    ASSERT_TRUE(Pump([&] { return frontEnd().notifier()->shown() == 0; }));
}

TEST_F(NotificationsTest, NothingIsShownWhileTheDesktopIsInDoNotDisturb) {
    REQUIRE_BUS();
    Serve(Mode::Answers);
    fake_->inhibited = true;
    StartOnBus();

    app_->missedCalls().AddSaveAndFlag(Record("mallory", true));
    ASSERT_TRUE(Pump([&] { return trace_.Contains("do-not-disturb is on"); }));
    EXPECT_TRUE(trace_.Contains("the call of mallory at 2026/12/10 01:02:03 is not shown"));
    EXPECT_TRUE(fake_->notes.empty());
    EXPECT_FALSE(trace_.Contains("balloon"));
    EXPECT_EQ(frontEnd().notifier()->inFlight(), 0u);

    // Off again: the next call is shown; an unknown caller by the handle.
    fake_->inhibited = false;
    app_->missedCalls().AddSaveAndFlag(Record("sip:trent@example.org", false));
    ASSERT_TRUE(Pump([&] { return fake_->notes.size() == 1; }));
    EXPECT_EQ(fake_->notes.front().body, QStringLiteral("sip:trent@example.org"));
}

TEST_F(NotificationsTest, TheTraysBalloonTellsWhenNoServiceAnswers) {
    REQUIRE_BUS();
    StartOnBus();

    // Nobody has the name: the bus says so at once.
    app_->missedCalls().AddSaveAndFlag(Record("alice", false));
    ASSERT_TRUE(Pump([&] { return trace_.Count("the tray's balloon") == 1; }));
    EXPECT_TRUE(trace_.Contains("ServiceUnknown"));

    // A service that never answers: the balloon after 3 s of the program's clock, and not
    // before.
    Serve(Mode::Silent);
    const platform::Millis sent = clock_.Now();
    app_->missedCalls().AddSaveAndFlag(Record("bob", false));
    ASSERT_TRUE(Pump([&] { return fake_->unanswered == 1; }));
    EXPECT_EQ(trace_.Count("the tray's balloon"), 1);
    EXPECT_EQ(frontEnd().notifier()->inFlight(), 1u);
    ASSERT_TRUE(RunUntil([&] { return trace_.Count("the tray's balloon") == 2; }));
    EXPECT_GE(clock_.Now() - sent, DesktopNotifier::kAnswerLimit);
    EXPECT_TRUE(trace_.Contains("(no answer in 3 s); the tray's balloon tells of the call of bob"));
    EXPECT_EQ(frontEnd().notifier()->inFlight(), 0u);

    // Its answer comes after all: the notification is taken back, the balloon said it.
    fake_->AnswerHeld(77);
    ASSERT_TRUE(Pump([&] { return !fake_->closed.empty(); }));
    EXPECT_EQ(fake_->closed, std::vector<uint>{77});
    EXPECT_EQ(frontEnd().notifier()->shown(), 0u);
}

TEST_F(NotificationsTest, WithoutASessionBusTheTrayTells) {
    StartApp();  // no bus given
    app_->missedCalls().AddSaveAndFlag(Record("", false));
    ASSERT_TRUE(RunUntil([&] {
        return trace_.Contains(
            "(no session bus); the tray's balloon tells of the call of an "
            "unknown caller");
    }));
}

TEST_F(NotificationsTest, ATrayClickShowsOrHidesTheWindowAndItsMenuOpensTheMissedCalls) {
    StartApp();
    ASSERT_TRUE(RunUntil([&] { return app_->state().SkypeAttached.load(); }));
    ForTestDialog& window = mainWindow();
    QSystemTrayIcon& icon = window.tray()->icon();
    ASSERT_TRUE(window.isVisible());
    emit icon.activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(window.isVisible());
    emit icon.activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window.isVisible());
    // A double click is a click and then the double click: shown either way.
    for (int round = 0; round < 2; ++round) {
        emit icon.activated(QSystemTrayIcon::Trigger);
        emit icon.activated(QSystemTrayIcon::DoubleClick);
        EXPECT_TRUE(window.isVisible()) << round;
    }
    window.showMinimized();
    emit icon.activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(window.isMinimized());

    window.tray()->CustomizeMenu();
    EXPECT_EQ(window.tray()->missedCallsAction().text(), QStringLiteral("Missed calls"));
    EXPECT_EQ(window.tray()->menu().actions().size(), 3);
    window.hide();
    window.tray()->missedCallsAction().trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_NE(MissedCallDialogShown(), nullptr);
}

TEST_F(NotificationsTest, AClickOnTheBalloonOpensTheMissedCalls) {
    StartApp();
    ASSERT_TRUE(RunUntil([&] { return app_->state().SkypeAttached.load(); }));
    mainWindow().hide();
    emit mainWindow().tray()->icon().messageClicked();
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_NE(MissedCallDialogShown(), nullptr);
}

}  // namespace
}  // namespace velto::ui::test
