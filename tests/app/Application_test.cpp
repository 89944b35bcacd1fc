#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <vector>

#include "app/Application.h"
#include "backends/sim/SimWav.h"
#include "backends/sim/SimWorld.h"
#include "calls/ScriptedAnsweringPanels.h"
#include "core/Messages.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/TempDir.h"

namespace velto::app {
namespace {

class ApplicationTest : public ::testing::Test {
  protected:
    ApplicationTest() {
        test::WriteFileBytes(dir / "machine.reg",
                             "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                             "\"InstallDir\"=\"" +
                                 (dir / "install").string() + "\"\n");
    }
    ApplicationOptions Options(skype::SkypeFactory* factory) {
        return {.clock = clock,
                .folders = platform::KnownFolders({{"HOME", (dir / "home").string()}}),
                .machineHive = dir / "machine.reg",
                .instanceFolder = dir / "run",
                .skypeFactory = factory,
                .language = 2,
                .serverLink = server::LinkSettings{.host = "127.0.0.1", .port = 1},
                .urlOpener = std::make_unique<platform::RecordingUrlOpener>()};
    }

    test::TempDir dir;
    platform::VirtualClock clock;
    platform::TraceCapture trace;
};

TEST_F(ApplicationTest, StartsWithoutSkypeAndQuitsInOrder) {
    Application app(Options(nullptr));
    app.boxes().set_quiet(true);
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(app.state().SkypeNotAvailable);
    EXPECT_EQ(app.skypeLink().SkypeObject(), nullptr);
    EXPECT_NE(app.state().MainWindowHandle, 0u);
    EXPECT_TRUE(app.mainWindow().visible());
    EXPECT_EQ(app.state().DefaultLanguageIndex, 2);  // the configured first-start answer
    EXPECT_TRUE(trace.Contains("Skype object cannot be created: running without Skype\n"));

    app.Quit(7);
    EXPECT_EQ(app.Run(), 7);
    EXPECT_EQ(app.state().MainWindowHandle, 0u);
    EXPECT_TRUE(trace.Contains("MainApp: saving the setting file\n"));
}

TEST_F(ApplicationTest, ASecondInstanceEndsAtOnce) {
    Application first(Options(nullptr));
    first.boxes().set_quiet(true);
    ASSERT_TRUE(first.Start());
    Application second(Options(nullptr));
    second.boxes().set_quiet(true);
    EXPECT_FALSE(second.Start());
}

TEST_F(ApplicationTest, RunsWithTheSimulatedSkypeAndReleasesItOnQuit) {
    auto world = skype::sim::SimWorld::Create(clock);
    world->SignIn();
    auto app = std::make_unique<Application>(Options(world.get()));
    app->boxes().set_quiet(true);
    ASSERT_TRUE(app->Start());
    ASSERT_TRUE(app->loop().RunUntil(
        [&] { return app->state().SkypeAttached && app->skypeLink().RunningStabilisers() == 0; },
        platform::Millis(10000)));
    EXPECT_NE(app->state().SkypeCookie, 0u);
    app->Quit();
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(app->state().SkypeCookie, 0u);
    EXPECT_EQ(app->table().size(), 0u);
    app.reset();
    EXPECT_TRUE(world->ThreadViolations().empty());
}

// The program's own call handler takes the call: a caller who gives up leaves a record in
// the user's "MissedCalls", which the next grant of access reads back.
TEST_F(ApplicationTest, HandlesCallsAndKeepsTheMissedOnesAcrossGrants) {
    // The build tree's stock sounds: the tone the caller hears.
    test::WriteFileBytes(dir / "machine.reg",
                         "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                         "\"InstallDir\"=\"" VELTO_BINARY_DIR "/share/velto\"\n");
    auto world = skype::sim::SimWorld::Create(clock);
    world->SetCurrentUser("me.here", "Me Here", "Me");
    world->AddContact({"ann", "Ann", "Ann", skype::OnlineStatus::Online, false});
    world->SignIn();
    auto app = std::make_unique<Application>(Options(world.get()));
    app->boxes().set_quiet(true);
    ASSERT_TRUE(app->Start());
    ASSERT_TRUE(app->loop().RunUntil([&] { return app->state().SkypeAttached.load(); },
                                     platform::Millis(10000)));
    const int32_t id = world->IncomingCall("ann");
    app->loop().RunUntil([] { return false; }, platform::Millis(3000));
    EXPECT_EQ(app->state().ActiveCallIds.size(), 1u);
    world->CallerHangsUp(id);
    ASSERT_TRUE(app->loop().RunUntil([&] { return app->state().ActiveCallIds.size() == 0; },
                                     platform::Millis(10000)));
    ASSERT_EQ(app->missedCalls().size(), 1u);
    EXPECT_TRUE(app->missedCalls().NewMissedCall());
    EXPECT_EQ(app->missedCalls().Snapshot()[0].partnerHandle, "ann");
    EXPECT_FALSE(world->CallSnapshot(id).heard.empty());
    const auto file = app->missedCalls().FilePath();
    ASSERT_TRUE(file && std::filesystem::exists(*file));

    // Signing out and in again reloads the list from the file, not doubled.
    world->SignOut();
    app->loop().RunUntil([] { return false; }, platform::Millis(2000));
    world->SignIn();
    ASSERT_TRUE(app->loop().RunUntil([&] { return app->state().SkypeAttached.load(); },
                                     platform::Millis(20000)));
    app->loop().RunUntil([] { return false; }, platform::Millis(2000));
    EXPECT_EQ(app->missedCalls().size(), 1u);
    app.reset();
    EXPECT_TRUE(world->ThreadViolations().empty());
}

// A picked WAV becomes a tone in the user's "RingTone" folder, with a catalogue entry and
// a converted-file entry naming its source.
TEST_F(ApplicationTest, AConvertedFileEntersTheCatalogue) {
    auto world = skype::sim::SimWorld::Create(clock);
    world->SetCurrentUser("me.here", "Me Here", "Me");
    world->SignIn();
    Application app(Options(world.get()));
    app.boxes().set_quiet(true);
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.loop().RunUntil([&] { return app.state().SkypeAttached.load(); },
                                    platform::Millis(10000)));
    const auto source = dir / "Song.wav";
    {
        skype::sim::WavWriter writer;
        ASSERT_TRUE(writer.Open(source, nullptr));
        std::vector<int16_t> samples(16000);
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<int16_t>(8000 * std::sin(0.1 * static_cast<double>(i)));
        }
        ASSERT_TRUE(writer.Append(samples.data(), samples.size()));
        ASSERT_TRUE(writer.Finish());
    }
    std::atomic<int> saves{0};
    app.settingFile().SetMissedCallSaver([&] { ++saves; });
    std::atomic<int> done{-1};
    app.mainWindow().SetHandler(audio::WM_CONVERSION_DONE,
                                [&](platform::WParam wParam, platform::LParam) {
                                    done = static_cast<int>(wParam);
                                    return platform::LResult{0};
                                });
    const auto job =
        app.StartToneConversion(platform::Utf8ToUtf16(source.string()), app.mainWindow().handle());
    ASSERT_TRUE(app.loop().RunUntil([&] { return done.load() != -1; }, platform::Millis(60000)));
    EXPECT_EQ(done.load(), static_cast<int>(audio::kConversionSucceeded));
    EXPECT_EQ(saves.load(), 1);  // the tone and its source entered with one save
    const auto id = app.userSettings().FindConverted(source.string());
    ASSERT_TRUE(id);
    EXPECT_EQ(*id, job->ItemId());
    const auto tone = app.userSettings().FindTone(*id);
    ASSERT_TRUE(tone);
    EXPECT_EQ(tone->title, u"Song.wav");
    const std::filesystem::path made(platform::Utf16ToUtf8(tone->path));
    EXPECT_EQ(made.parent_path().filename(), "RingTone");
    EXPECT_TRUE(std::filesystem::exists(made));
}

TEST_F(ApplicationTest, TheMachineHiveMayNameAnotherServer) {
    test::WriteFileBytes(dir / "machine.reg",
                         "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                         "\"ServerHost\"=\"staging.example\"\n\"ServerPort\"=dword:00001f90\n");
    platform::Registry registry({dir / "user.reg", dir / "machine.reg", std::nullopt});
    server::LinkSettings settings = Application::ServerAddress(registry, std::nullopt);
    EXPECT_EQ(settings.host, "staging.example");
    EXPECT_EQ(settings.port, 8080);

    test::WriteFileBytes(dir / "machine.reg",
                         "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                         "\"ServerPort\"=dword:00010000\n");
    registry.Reload();
    settings = Application::ServerAddress(registry, std::nullopt);
    EXPECT_EQ(settings.host, server::kServerHostName);
    EXPECT_EQ(settings.port, server::kServerPort);

    settings = Application::ServerAddress(registry, server::LinkSettings{.host = "127.0.0.1"});
    EXPECT_EQ(settings.host, "127.0.0.1");
}

}  // namespace
}  // namespace velto::app
