// The password in a real keyring: a private D-Bus session with its own unlocked
// gnome-keyring daemon, in a sandboxed home folder, so the user's own keyring is never
// touched. The outer test starts the session and runs this program again inside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/Clock.h"
#include "platform/Registry.h"
#include "sipaccount/AccountPassword.h"
#include "sipaccount/HivePasswordStore.h"
#include "sipaccount/KeyringPasswordStore.h"
#include "sipaccount/SipSettings.h"
#include "support/ChildProcess.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInsideSession = "VELTO_TEST_KEYRING_SESSION";

// The first of `programs` that is not installed; empty when all are.
std::string Missing(std::initializer_list<const char*> programs) {
    for (const char* program : programs) {
        std::error_code error;
        if (!fs::exists(fs::path("/usr/bin") / program, error)) {
            return program;
        }
    }
    return {};
}

// Runs the tests named by `filter` again inside a private D-Bus session of a sandboxed home
// folder, after `service` has started the secret service there (the shell's $! names a
// background process it leaves, which ends with the session).
void RunInPrivateSession(const std::string& service, const std::string& filter) {
    test::TempDir dir;
    const fs::path home = dir / "home";
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all);
    // Waiting for the service name first: a call before it would have D-Bus start another
    // daemon.
    const std::string script = service +
                               "gdbus wait --session --timeout 20 org.freedesktop.secrets || "
                               "exit 91\n"
                               "\"$0\" --gtest_filter='" +
                               filter +
                               "'\n"
                               "code=$?; [ -n \"$!\" ] && kill $! 2>/dev/null; exit $code\n";
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    // In a sanitizer build, the leak check sees through the distribution's libraries (which
    // keep no frame pointers) and leaves libsecret's own leaks alone.
    const auto options = [](const char* name, const std::string& more) {
        const char* inherited = std::getenv(name);
        return std::string(name) + "=" + (inherited ? std::string(inherited) + ":" : "") + more;
    };
    // timeout: a session that hangs fails in a minute, and its processes go with it. Their
    // messages go with the output, shown when the test fails.
    test::ChildProcess session(
        {"/bin/sh", "-c", "exec \"$@\" 2>&1", "sh", "/usr/bin/timeout", "-k", "5", "60",
         "/usr/bin/dbus-run-session", "--", "/bin/sh", "-c", script, self},
        {"PATH=/usr/bin:/bin", "HOME=" + home.string(),
         "XDG_RUNTIME_DIR=" + (home / "run").string(),
         "XDG_CONFIG_HOME=" + (home / ".config").string(),
         "XDG_DATA_HOME=" + (home / ".local/share").string(),
         "XDG_CACHE_HOME=" + (home / ".cache").string(), std::string(kInsideSession) + "=1",
         options("ASAN_OPTIONS", "fast_unwind_on_malloc=0"),
         options("LSAN_OPTIONS",
                 "suppressions=" VELTO_SOURCE_DIR "/tests/backends/sip/libsecret.lsan.supp")});
    session.ReadToEnd();
    EXPECT_EQ(session.Wait(), 0) << session.text();
    EXPECT_NE(session.text().find("[  PASSED  ] 1 test"), std::string::npos) << session.text();
}

TEST(SystemKeyringTest, StoresAndReadsBackInAPrivateKeyringSession) {
    if (const auto missing = Missing({"dbus-run-session", "gdbus", "gnome-keyring-daemon"});
        !missing.empty()) {
        GTEST_SKIP() << missing << " is not installed (scripts/setup installs it)";
    }
    // A fresh login keyring, unlocked with the password on the daemon's input.
    RunInPrivateSession(
        "printf %s unlock | gnome-keyring-daemon --unlock --components=secrets --daemonize "
        ">/dev/null || exit 90\n",
        "SystemKeyringSession.PasswordLivesInTheKeyringAndFallsBackWhenItIsLocked");
}

TEST(SystemKeyringTest, AServiceThatNeverAnswersCostsTheTimeLimitOnly) {
    if (const auto missing = Missing({"dbus-run-session", "gdbus", "python3"}); !missing.empty()) {
        GTEST_SKIP() << missing << " is not installed (scripts/setup installs it)";
    }
    if (std::system("/usr/bin/python3 -c 'import dbus' 2>/dev/null") != 0) {
        GTEST_SKIP() << "python3-dbus is not installed (scripts/setup installs it)";
    }
    // It owns the service's name and never reads a message.
    RunInPrivateSession(
        "python3 -c \"import dbus, time; dbus.SessionBus().request_name("
        "'org.freedesktop.secrets'); time.sleep(120)\" &\n",
        "SystemKeyringSession.AKeyringThatNeverAnswersIsGivenUp");
}

// velto-account in the session's environment, with `input` on its standard input.
test::ShellOutcome Account(const std::string& arguments, const std::string& input = "") {
    return test::RunShell("printf %s " + test::ShellQuote(input) + " | " VELTO_ACCOUNT_PROGRAM " " +
                          arguments + " 2>&1");
}

TEST(SystemKeyringSession, PasswordLivesInTheKeyringAndFallsBackWhenItIsLocked) {
    if (std::getenv(kInsideSession) == nullptr) {
        GTEST_SKIP() << "runs inside the private session that SystemKeyringTest starts";
    }
    const fs::path config = std::getenv("XDG_CONFIG_HOME");
    const fs::path hiveFile = config / "Velto/user.reg";
    ASSERT_EQ(Account("set identity sip:alice@example.org").code, 0);

    test::ShellOutcome saved = Account("password", "k3yring pass\n");
    EXPECT_EQ(saved.code, 0);
    EXPECT_EQ(saved.output, "The password is in the keyring.\n");
    test::ShellOutcome shown = Account("show");
    EXPECT_NE(shown.output.find("Password:                 set (keyring)\n"), std::string::npos)
        << shown.output;
    EXPECT_EQ(shown.output.find("k3yring"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(hiveFile).find("k3yring"), std::string::npos);
    const fs::path keyrings = fs::path(std::getenv("XDG_DATA_HOME")) / "keyrings";
    for (const auto& entry : fs::directory_iterator(keyrings)) {
        EXPECT_EQ(test::ReadFileBytes(entry.path()).find("k3yring"), std::string::npos)
            << entry.path();
    }

    // What velto does: the backend's settings with the password through the keyring.
    platform::RealClock clock;
    platform::Registry hive({hiveFile, config / "none.reg", std::nullopt});
    const auto keyring = SystemKeyring(clock);
    HivePasswordStore userFile(hive);
    AccountPassword password(*keyring, userFile);
    const auto settings = ReadSipSettings(hive, password);
    ASSERT_TRUE(settings.settings) << settings.error;
    EXPECT_EQ(settings.settings->password, "k3yring pass");
    EXPECT_EQ(settings.settings->passwordPlace, "keyring");

    // A locked keyring nobody can unlock (no display for the prompt) refuses the new
    // password: it goes to the user file, which then wins over the keyring's older one.
    ASSERT_EQ(std::system("gdbus call --session --dest org.freedesktop.secrets --object-path "
                          "/org/freedesktop/secrets --method org.freedesktop.Secret.Service.Lock "
                          "\"[objectpath '/org/freedesktop/secrets/collection/login']\" "
                          ">/dev/null"),
              0);
    saved = Account("password", "newer\n");
    EXPECT_EQ(saved.code, 0);
    EXPECT_NE(saved.output.find("The password is in the user file.\n"), std::string::npos)
        << saved.output;
    EXPECT_NE(saved.output.find("velto-account: the keyring could not be reached: "),
              std::string::npos)
        << saved.output;
    shown = Account("show");
    EXPECT_NE(shown.output.find("Password:                 set (user file)\n"), std::string::npos)
        << shown.output;
    hive.Reload();
    EXPECT_EQ(ReadSipSettings(hive, password).settings->password, "newer");

    // Removing it while the keyring is locked: the user is told the keyring's copy stays.
    saved = Account("password", "\n");
    EXPECT_EQ(saved.code, 0);
    EXPECT_NE(saved.output.find("; a password kept there stays\n"), std::string::npos)
        << saved.output;
    shown = Account("show");
    EXPECT_NE(shown.output.find("Password:                 not set (the keyring is locked)\n"),
              std::string::npos)
        << shown.output;
}

TEST(SystemKeyringSession, AKeyringThatNeverAnswersIsGivenUp) {
    if (std::getenv(kInsideSession) == nullptr) {
        GTEST_SKIP() << "runs inside the private session that SystemKeyringTest starts";
    }
    const test::ShellOutcome saved = Account("password", "pass\n");
    EXPECT_EQ(saved.code, 0);
    EXPECT_EQ(saved.output,
              "velto-account: the keyring did not answer within 3000 ms\n"
              "The password is in the user file.\n");
    // The user file's copy is found without asking the keyring.
    const test::ShellOutcome shown = Account("show");
    EXPECT_NE(shown.output.find("Password:                 set (user file)\n"), std::string::npos)
        << shown.output;
}

}  // namespace
}  // namespace velto::skype::sip
