#include <gtest/gtest.h>

#include "app/Application.h"
#include "core/Messages.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "skype/sim/SimWorld.h"
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
