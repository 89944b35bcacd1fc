#include <gtest/gtest.h>

#include "core/CommandLine.h"
#include "core/DataDirs.h"
#include "core/MainApp.h"
#include "core/Messages.h"
#include "headless/HeadlessMainWindow.h"
#include "i18n/ConfiguredLanguageChooser.h"
#include "i18n/Languages.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/TempDir.h"

namespace velto::core {
namespace {

TEST(CommandLine, OnlyOnStartUpAfterSlashOrDashStartsHidden) {
    const std::vector<std::vector<std::string>> hidden = {
        {"/OnStartUp"}, {"-OnStartUp"}, {"x", "/OnStartUp", "y"}};
    const std::vector<std::vector<std::string>> shown = {
        {}, {"OnStartUp"}, {"/onstartup"}, {"/OnStartUp2"}, {"//OnStartUp"}, {"/ OnStartUp"}};
    for (const auto& arguments : hidden) {
        CCustomCommandLineInfo info;
        ParseCommandLine(arguments, info);
        EXPECT_TRUE(info.startedHidden()) << arguments[0];
    }
    for (const auto& arguments : shown) {
        CCustomCommandLineInfo info;
        ParseCommandLine(arguments, info);
        EXPECT_FALSE(info.startedHidden()) << (arguments.empty() ? "" : arguments[0]);
    }
}

TEST(DataDirs, FallsBackFromLocalToRoamingToInstallFolder) {
    test::TempDir dir;
    platform::TraceCapture trace;
    // A local folder that cannot be made (a file is in the way) falls back to roaming.
    test::WriteFileBytes(dir / "file", "");
    platform::KnownFolders noLocal({{"XDG_DATA_HOME", (dir / "file/sub").string()},
                                    {"XDG_CONFIG_HOME", (dir / "cfg").string()}});
    EXPECT_EQ(PrepareUserDataDir(noLocal, "/install"), (dir / "cfg/Velto").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "cfg/Velto/Material"));
    EXPECT_TRUE(trace.Contains("Error...cannot get local app dir!! Use app dir instead\n"));
    platform::KnownFolders none({});
    EXPECT_EQ(DetermineUserDataDir(none, (dir / "inst").string()), (dir / "inst/Velto").string());
    EXPECT_TRUE(trace.Contains("Error....cannot get app dir!! User exe dir instead\n"));
}

class MainAppTest : public ::testing::Test {
  protected:
    MainAppTest()
        : folders({{"HOME", (dir / "home").string()}}),
          registry({dir / "user.reg", dir / "machine.reg", folders.Startup()}),
          settings(state, registry, boxes, chooser, folders),
          loop(clock),
          mainWindow(windows, loop),
          instance(dir / "run", "TESTINSTANCE") {
        boxes.set_quiet(true);
        test::WriteFileBytes(dir / "machine.reg",
                             "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                             "\"InstallDir\"=\"/opt/velto\"\n");
        auto step = [this](const char* name) { return [this, name] { steps.push_back(name); }; };
        hooks.startSoundPlayer = step("sound player");
        hooks.fillTextTable = step("text table");
        hooks.setUpSkype = step("skype");
        hooks.createMainWindow = [this] {
            steps.push_back("main window");
            return mainWindow.Create();
        };
        hooks.showMainWindow = [this](platform::WindowHandle, bool hidden) {
            steps.push_back(hidden ? "show hidden" : "show");
            mainWindow.Show(hidden);
        };
        hooks.releaseSkype = step("release skype");
        hooks.saveSettingFile = step("save setting file");
        hooks.destroyMainWindow = [this] {
            steps.push_back("destroy window");
            mainWindow.Destroy();
        };
    }
    MainAppServices Services(std::function<bool(std::string&)> cwd = {}) {
        return {clock, state, settings, boxes, windows, instance, std::move(cwd)};
    }

    test::TempDir dir;
    platform::KnownFolders folders;
    platform::Registry registry;
    SharedState state;
    platform::HeadlessMessageBoxes boxes;
    i18n::ConfiguredLanguageChooser chooser;
    RegistrySettings settings;
    // Time stands still: waits on the loop end when a message arrives, however late.
    platform::VirtualClock clock{/*autoAdvance=*/false};
    platform::MessageLoop loop;
    platform::WindowManager windows;
    headless::HeadlessMainWindow mainWindow;
    platform::SingleInstance instance;
    MainAppHooks hooks;
    std::vector<std::string> steps;
};

TEST_F(MainAppTest, StartsUpAndShutsDownInOrder) {
    platform::TraceCapture trace;
    {
        MainApp app(Services(), hooks);
        ASSERT_TRUE(app.InitInstance({"/OnStartUp"}));
        EXPECT_TRUE(state.StartedHidden);
        EXPECT_EQ(state.MainWindowHandle, mainWindow.handle());
        EXPECT_EQ(windows.FindWindow(kMainWindowTitle), mainWindow.handle());
        EXPECT_FALSE(mainWindow.visible());
        EXPECT_EQ(state.CurrentLanguage, i18n::kEnglish);
        // A second start asks this one to show itself.
        platform::SingleInstance second(dir / "run", "TESTINSTANCE");
        EXPECT_EQ(second.Acquire(), platform::SingleInstance::Outcome::AnotherRunning);
        ASSERT_TRUE(second.AskOwnerToShow());
        EXPECT_TRUE(loop.RunUntil([&] { return mainWindow.visible(); }, platform::Millis(60'000)));
        EXPECT_TRUE(trace.Contains("MainWindow: received WM_SHOW_MAIN_WINDOW (0x0803)"));
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"sound player", "text table", "skype", "main window",
                                               "show hidden", "release skype", "save setting file",
                                               "destroy window"}));
    EXPECT_EQ(state.MainWindowHandle, 0u);
    EXPECT_LT(trace.Text().find("destroying the main window's controls"),
              trace.Text().find("shutting down graphics, COM and sockets"));
}

TEST_F(MainAppTest, UnreadableCurrentDirectoryEndsWithAMessage) {
    MainApp app(Services([](std::string&) { return false; }), hooks);
    EXPECT_FALSE(app.InitInstance({}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Error Getting Current Directory");
    EXPECT_EQ(boxes.shown()[0].caption, "");
    EXPECT_EQ(steps.back(), "destroy window");
    EXPECT_FALSE(windows.IsWindow(mainWindow.handle()) && mainWindow.handle() != 0);
}

TEST_F(MainAppTest, SecondInstanceStopsBeforeTheSettings) {
    platform::SingleInstance first(dir / "run", "TESTINSTANCE");
    ASSERT_EQ(first.Acquire(), platform::SingleInstance::Outcome::First);
    MainApp app(Services(), hooks);
    EXPECT_FALSE(app.InitInstance({}));
    EXPECT_TRUE(steps.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "user.reg"));
}

// The other side of the start-up switch (StartsUpAndShutsDownInOrder has /OnStartUp): a
// start without the session's start-up entry's word shows the window.
TEST_F(MainAppTest, AStartWithoutOnStartUpShowsTheWindow) {
    {
        MainApp app(Services(), hooks);
        ASSERT_TRUE(app.InitInstance({"velto"}));
        EXPECT_FALSE(state.StartedHidden);
        EXPECT_TRUE(mainWindow.visible());
    }
    ASSERT_GE(steps.size(), 5u);
    EXPECT_EQ(steps[4], "show");
}

}  // namespace
}  // namespace velto::core
