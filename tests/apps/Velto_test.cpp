// Runs the built velto program as real processes with a sandboxed home folder.
#include <signal.h>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace velto {
namespace {

using Process = test::ChildProcess;

TEST(Velto, WithoutADisplaySaysSoUnlessHeadless) {
    test::TempDir home;
    const std::vector<std::string> env = {"HOME=" + home.path().string(),
                                          "XDG_RUNTIME_DIR=" + (home / "run").string(),
                                          "PATH=/usr/bin:/bin", "DISPLAY=:99"};
    std::filesystem::create_directories(home / "run");
    // Standard error is where the line goes.
    Process velto({"/bin/sh", "-c", std::string(VELTO_PROGRAM) + " 2>&1"}, env);
    velto.ReadToEnd();
    EXPECT_EQ(velto.Wait(), 1);
    EXPECT_EQ(velto.text(),
              "velto: no display: nothing answers at DISPLAY=:99 (--headless runs without "
              "windows)\n");
}

// The desktop front end on Qt's offscreen platform: the same start, second start and end.
TEST(Velto, TheDesktopFrontEndComesForwardAndEndsInOrder) {
    test::TempDir home;
    const std::vector<std::string> env = {"HOME=" + home.path().string(),
                                          "XDG_RUNTIME_DIR=" + (home / "run").string(),
                                          "PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen"};
    std::filesystem::create_directories(home / "run");
    std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
    // Not the first start: no language question.
    std::filesystem::create_directories(home / ".config/Velto");
    test::WriteFileBytes(home / ".config/Velto/user.reg",
                         "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"
                         "\"DefaultLanguage\"=dword:00000002\n");
    Process first({VELTO_PROGRAM}, env);
    ASSERT_TRUE(first.ReadUntil("velto: running\n")) << first.text();
    Process second({VELTO_PROGRAM}, env);
    EXPECT_TRUE(second.ReadUntil("another instance is running"));
    EXPECT_EQ(second.Wait(), 0);
    ASSERT_TRUE(first.ReadUntil("MainWindow: brought to the front")) << first.text();
    first.Signal(SIGTERM);
    first.ReadToEnd();
    EXPECT_EQ(first.Wait(), 0);
    const std::string& text = first.text();
    size_t at = 0;
    for (const char* line : {"velto: signal 15", "releasing Skype", "saving the setting file",
                             "MainWindow: destroyed", "message loop ended"}) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << text;
        at = found;
    }
    EXPECT_NE(
        test::ReadFileBytes(home / ".config/Velto/user.reg").find("\"Executed\"=dword:ffffffff"),
        std::string::npos);
}

TEST(Velto, SecondStartShowsTheFirstAndSigtermEndsItInOrder) {
    test::TempDir home;
    const std::vector<std::string> env = {"HOME=" + home.path().string(),
                                          "XDG_RUNTIME_DIR=" + (home / "run").string(),
                                          "PATH=/usr/bin:/bin"};
    std::filesystem::create_directories(home / "run");
    Process first({VELTO_PROGRAM, "--headless"}, env);
    ASSERT_TRUE(first.ReadUntil("velto: running\n")) << first.text();
    EXPECT_NE(first.text().find("FirstTime=1!"), std::string::npos);

    Process second({VELTO_PROGRAM, "--headless", "/OnStartUp"}, env);
    EXPECT_TRUE(second.ReadUntil("another instance is running"));
    EXPECT_FALSE(second.ReadUntil("velto: running"));  // its output ends: it has gone
    EXPECT_EQ(second.Wait(), 0);
    ASSERT_TRUE(first.ReadUntil("MainWindow: received WM_SHOW_MAIN_WINDOW (0x0803)"))
        << first.text();

    first.Signal(SIGTERM);
    first.ReadToEnd();
    EXPECT_EQ(first.Wait(), 0);
    const std::string& text = first.text();
    size_t at = 0;
    for (const char* line : {"velto: signal 15", "releasing Skype", "saving the setting file",
                             "destroying the main window's controls", "MainWindow: destroyed",
                             "message loop ended", "shutting down graphics, COM and sockets"}) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << text;
        at = found;
    }
    const std::string hive = test::ReadFileBytes(home / ".config/Velto/user.reg");
    EXPECT_NE(hive.find("\"DefaultLanguage\"=dword:00000003\n"), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"FriendMsg\"=dword:ffffffff\n"), std::string::npos);
    EXPECT_NE(hive.find("\"Executed\"=dword:ffffffff\n"), std::string::npos);
    // Only the lock file stays; the channel went with its owner.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(home / "run/velto")) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"VELTOSKYPERINGBACKTONEMUTEX.lock"});
}

}  // namespace
}  // namespace velto
