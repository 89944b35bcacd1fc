#include <gtest/gtest.h>

#include "core/ProcessExit.h"
#include "core/RegistrySettings.h"
#include "i18n/ConfiguredLanguageChooser.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::core {
namespace {

using platform::RegError;
using platform::RegRoot;

class RegistrySettingsTest : public ::testing::Test {
  protected:
    RegistrySettingsTest()
        : folders({{"HOME", (dir / "home").string()}}),
          registry({dir / "home/.config/Velto/user.reg", dir / "machine.reg", folders.Startup()}),
          settings(state, registry, boxes, chooser, folders) {
        boxes.set_quiet(true);
    }

    void Install(const std::string& installDir = "/opt/velto/share/velto") {
        test::WriteFileBytes(dir / "machine.reg",
                             "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                             "\"InstallDir\"=\"" +
                                 installDir + "\"\n");
    }
    uint32_t UserDword(const char* name) {
        uint32_t value = 0x12345678;
        EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, kVeltoKey, name, value), RegError::Ok)
            << name;
        return value;
    }
    // A fresh registry object reading the same files, as the next start would.
    void Restart() { registry.Reload(); }
    int ExitCodeOfStartupLoad() {
        try {
            settings.LoadStartupSettings();
        } catch (const ProcessExit& exit) {
            return exit.code();
        }
        return -1;
    }

    test::TempDir dir;
    platform::KnownFolders folders;
    platform::Registry registry;
    SharedState state;
    platform::HeadlessMessageBoxes boxes;
    i18n::ConfiguredLanguageChooser chooser{5};
    RegistrySettings settings;
};

TEST_F(RegistrySettingsTest, FirstStartAsksOnceAndLeavesTheMarkers) {
    Install();
    platform::TraceCapture trace;
    settings.LoadStartupSettings();
    EXPECT_EQ(chooser.calls(), 1);
    EXPECT_TRUE(state.FirstRun);
    EXPECT_EQ(state.InstallDirPath.Get(), "/opt/velto/share/velto");
    EXPECT_EQ(state.DefaultLanguageIndex, 5);
    EXPECT_EQ(state.CurrentLanguage, 5);
    EXPECT_EQ(UserDword("DefaultLanguage"), 5u);
    EXPECT_EQ(UserDword("FriendMsg"), 0xFFFFFFFFu);
    EXPECT_EQ(UserDword("Executed"), 0xFFFFFFFFu);
    EXPECT_FALSE(state.AuthorizedOnce);
    EXPECT_TRUE(trace.Contains("Start Loading the setting files....\n"));
    EXPECT_TRUE(trace.Contains("FirstTime=1!!!!!!!!!!!!!!!!!!!!!\n"));
    EXPECT_EQ(state.UserDataDir.Get(), (dir / "home/.local/share/Velto").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "home/.local/share/Velto/Material"));

    Restart();
    settings.LoadStartupSettings();
    EXPECT_EQ(chooser.calls(), 1);
    EXPECT_FALSE(state.FirstRun);
    EXPECT_TRUE(trace.Contains("FirstTime=0!"));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(RegistrySettingsTest, StoredValuesAreReadAndAllOnesLanguageCountsAsAbsent) {
    Install();
    ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, kVeltoKey), RegError::Ok);
    registry.SetDword(RegRoot::CurrentUser, kVeltoKey, "DefaultLanguage", 7);
    registry.SetDword(RegRoot::CurrentUser, kVeltoKey, "FriendMsg", 0);
    registry.SetDword(RegRoot::CurrentUser, kVeltoKey, "AuthorizedOnce", 1);
    state.FriendMsgEnabled = true;
    settings.LoadStartupSettings();
    EXPECT_EQ(chooser.calls(), 0);
    EXPECT_EQ(state.CurrentLanguage, 7);
    EXPECT_FALSE(state.FriendMsgEnabled);
    EXPECT_EQ(UserDword("FriendMsg"), 0u);
    EXPECT_TRUE(state.AuthorizedOnce);

    for (uint32_t stored : {0xFFFFFFFFu, 99u}) {  // 99 would index past the language table
        registry.SetDword(RegRoot::CurrentUser, kVeltoKey, "DefaultLanguage", stored);
        settings.LoadStartupSettings();
        EXPECT_EQ(UserDword("DefaultLanguage"), 5u);
    }
    EXPECT_EQ(chooser.calls(), 2);
}

TEST_F(RegistrySettingsTest, MissingInstallationEndsWithTheMessageAndExitCode) {
    const std::string text =
        "Velto Skype Plugin is not installed or broken on your machine, please install again.";
    EXPECT_EQ(ExitCodeOfStartupLoad(), 0);  // no machine hive at all
    test::WriteFileBytes(dir / "machine.reg",
                         "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n");
    Restart();
    platform::TraceCapture trace;
    EXPECT_EQ(ExitCodeOfStartupLoad(), 1);  // key without InstallDir
    EXPECT_TRUE(trace.Contains("Error query value 2\n"));
    Install(std::string(600, 'x'));  // longer than the reader's buffer
    Restart();
    EXPECT_EQ(ExitCodeOfStartupLoad(), 1);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 3u);
    for (const auto& box : shown) {
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, "Failed");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "home/.config/Velto/user.reg"));
}

TEST_F(RegistrySettingsTest, PersonalLoadWritesCanonicalValuesAndTheRunEntry) {
    Install();
    settings.LoadStartupSettings();
    registry.SetDword(RegRoot::CurrentUser, kVeltoKey, "AutoStart", 1);
    registry.SetString(RegRoot::CurrentUser, kVeltoKey, "AutoUpdate", "");  // wrong type
    platform::TraceCapture trace;
    settings.LoadPersonalRegistrySettings();
    EXPECT_TRUE(trace.Contains("Opened\n"));
    EXPECT_TRUE(trace.Contains("AutoStart=1\n"));
    EXPECT_TRUE(trace.Contains("Not REG_DWORD\n"));
    EXPECT_TRUE(trace.Contains("AutoUpdate=0\n"));
    EXPECT_TRUE(trace.Contains("OK to set Velto Startup Registry key value\n"));
    EXPECT_EQ(UserDword("AutoStart"), 0xFFFFFFFFu);
    EXPECT_EQ(UserDword("AutoUpdate"), 0u);
    EXPECT_EQ(UserDword("FriendMsg"), 0xFFFFFFFFu);
    std::string run;
    ASSERT_EQ(registry.QueryString(RegRoot::CurrentUser, platform::kRunKey, "XtraVelto", run),
              RegError::Ok);
    EXPECT_EQ(run, "/opt/velto/bin/velto /OnStartUp");
    const auto desktop = dir / "home/.config/autostart/XtraVelto.desktop";
    EXPECT_NE(test::ReadFileBytes(desktop).find("Exec=/opt/velto/bin/velto /OnStartUp\n"),
              std::string::npos);

    settings.SetAutoStart(false);
    EXPECT_FALSE(state.AutoStartEnabled);
    EXPECT_EQ(UserDword("AutoStart"), 0u);
    EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, platform::kRunKey, "XtraVelto", run),
              RegError::NotFound);
    EXPECT_FALSE(std::filesystem::exists(desktop));
    EXPECT_TRUE(trace.Contains("OK, deleted registry key\n"));
}

TEST_F(RegistrySettingsTest, PersonalLoadOnAnEmptyHiveTurnsEverythingOn) {
    Install();
    platform::TraceCapture trace;
    settings.LoadPersonalRegistrySettings();
    EXPECT_TRUE(trace.Contains("Cannot open\n"));
    EXPECT_TRUE(state.AutoStartEnabled && state.AutoUpdateEnabled && state.FriendMsgEnabled);
    for (const char* name : {"AutoStart", "AutoUpdate", "FriendMsg"}) {
        EXPECT_EQ(UserDword(name), 0xFFFFFFFFu);
    }
}

TEST_F(RegistrySettingsTest, NoStartupFolderTurnsAutostartOff) {
    platform::KnownFolders homeless({});
    RegistrySettings noHome(state, registry, boxes, chooser, homeless);
    noHome.SetAutoStart(true);
    EXPECT_FALSE(state.AutoStartEnabled);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Failed to find startup dir");
    EXPECT_EQ(boxes.shown()[0].caption, "Error");
}

TEST_F(RegistrySettingsTest, LanguageChangeWhileAttachedKeepsTheStoredDefault) {
    Install();
    settings.LoadStartupSettings();
    state.SkypeAttached = true;
    platform::WindowManager windows;
    i18n::RefreshList refresh(windows);
    EXPECT_TRUE(settings.ChangeLanguage(2, refresh));
    EXPECT_EQ(state.CurrentLanguage, 2);
    EXPECT_EQ(state.DefaultLanguageIndex, 5);
    EXPECT_EQ(UserDword("DefaultLanguage"), 5u);
    state.SkypeAttached = false;
    EXPECT_TRUE(settings.ChangeLanguage(1, refresh));
    EXPECT_EQ(state.DefaultLanguageIndex, 1);
    EXPECT_EQ(UserDword("DefaultLanguage"), 1u);
    // A language that does not exist changes nothing.
    EXPECT_FALSE(settings.ChangeLanguage(15, refresh));
    EXPECT_FALSE(settings.ChangeLanguage(-1, refresh));
    EXPECT_EQ(state.CurrentLanguage, 1);
    EXPECT_EQ(UserDword("DefaultLanguage"), 1u);
}

// Each switch on its own: off is stored and survives the next start, on again brings back
// what it had (for autostart, the Run entry and the desktop's autostart file), and the
// other two switches stay as they were.
TEST_F(RegistrySettingsTest, EachSwitchOffAndOnAgainIsStoredAndKeptOverAStart) {
    Install();
    settings.LoadStartupSettings();
    settings.LoadPersonalRegistrySettings();
    const auto desktop = dir / "home/.config/autostart/XtraVelto.desktop";
    struct Switch {
        const char* name;
        void (RegistrySettings::*set)(bool);
        std::atomic<bool> SharedState::*flag;
    };
    const Switch switches[] = {
        {"AutoStart", &RegistrySettings::SetAutoStart, &SharedState::AutoStartEnabled},
        {"AutoUpdate", &RegistrySettings::SetAutoUpdate, &SharedState::AutoUpdateEnabled},
        {"FriendMsg", &RegistrySettings::SetFriendMsg, &SharedState::FriendMsgEnabled},
    };
    const auto runEntry = [&] {
        std::string run;
        return registry.QueryString(RegRoot::CurrentUser, platform::kRunKey, "XtraVelto", run) ==
                   RegError::Ok &&
               std::filesystem::exists(desktop);
    };
    for (const Switch& changed : switches) {
        SCOPED_TRACE(changed.name);
        for (bool on : {false, true}) {
            (settings.*changed.set)(on);
            for (int start = 0; start < 2; ++start) {  // as set, then after the next start
                for (const Switch& other : switches) {
                    const bool expected = &other == &changed ? on : true;
                    EXPECT_EQ((state.*other.flag).load(), expected) << other.name;
                    EXPECT_EQ(UserDword(other.name), expected ? 0xFFFFFFFFu : 0u) << other.name;
                }
                EXPECT_EQ(runEntry(), &changed != &switches[0] || on);
                Restart();
                settings.LoadPersonalRegistrySettings();
            }
        }
    }
}

}  // namespace
}  // namespace velto::core
