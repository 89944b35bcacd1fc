// The running program's note of its registration, as velto-account status reads it: the
// exact limits of the file, and only a live velto's note counts.
#include "sipaccount/RegistrationNote.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

TEST(RegistrationNote, ReadsWhatIsWrittenAndRefusesEverythingElse) {
    const RegistrationNote note{.pid = 4321, .line = "registered at sip:p over UDP as a@b"};
    const std::string bytes = EncodeRegistrationNote(note);
    EXPECT_EQ(bytes, "pid=4321\nline=registered at sip:p over UDP as a@b\n");
    const auto read = ParseRegistrationNote(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->pid, 4321);
    EXPECT_EQ(read->line, note.line);

    // The longest line is kept whole, a longer one is cut when written and refused when read;
    // line ends inside a reason become spaces.
    const std::string longest(1024, 'x');
    EXPECT_EQ(ParseRegistrationNote("pid=1\nline=" + longest + "\n")->line, longest);
    EXPECT_FALSE(ParseRegistrationNote("pid=1\nline=" + longest + "x\n"));
    EXPECT_EQ(ParseRegistrationNote(EncodeRegistrationNote({.pid = 1, .line = longest + "yz"}))
                  ->line.size(),
              1024u);
    EXPECT_EQ(ParseRegistrationNote(EncodeRegistrationNote({.pid = 1, .line = "a\nb\rc"}))->line,
              "a b c");

    for (const char* bad : {"", "pid=1\n", "pid=1\nline=x", "pid=0\nline=x\n", "pid=-3\nline=x\n",
                            "pid=12a\nline=x\n", "pid=012\nline=x\n", "pid=+12\nline=x\n",
                            "pid=\nline=x\n", "pid=99999999999\nline=x\n", "line=x\npid=1\n",
                            "pid=1\nline=x\nmore\n", "pid 1\nline=x\n", "pid=1\nline=a\rb\n"}) {
        EXPECT_FALSE(ParseRegistrationNote(bad)) << bad;
    }
}

// A note counts while its process runs and is velto; a crashed program's note (its process
// gone, or the number now another program's) does not.
TEST(RegistrationNote, OnlyARunningVeltosNoteCounts) {
    test::TempDir dir;
    const auto sleeper = dir / "velto";
    std::filesystem::copy_file("/bin/sleep", sleeper);
    // The child's end of a close-on-exec pipe closes when it has become velto.
    int exec[2];
    ASSERT_EQ(pipe2(exec, O_CLOEXEC), 0);
    const pid_t child = fork();
    if (child == 0) {
        execl(sleeper.c_str(), "velto", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    close(exec[1]);
    char byte = 0;
    EXPECT_EQ(read(exec[0], &byte, 1), 0);
    close(exec[0]);
    ASSERT_TRUE(WriteRegistrationNote(dir.path(), {.pid = child, .line = "registered at x"}));
    const auto running = RunningRegistration(dir.path());
    ASSERT_TRUE(running);
    EXPECT_EQ(running->line, "registered at x");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(RunningRegistration(dir.path()));

    // This test program is not velto.
    ASSERT_TRUE(WriteRegistrationNote(dir.path(), {.pid = getpid(), .line = "registered at y"}));
    EXPECT_FALSE(RunningRegistration(dir.path()));
    RemoveRegistrationNote(dir.path());
    EXPECT_FALSE(std::filesystem::exists(dir / kRegistrationNoteName));
    EXPECT_FALSE(RunningRegistration(dir.path()));
}

}  // namespace
}  // namespace velto::skype::sip
