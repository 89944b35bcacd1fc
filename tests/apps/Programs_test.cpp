// Every built program answers --help and --version, and refuses a wrong argument with one
// usage line and exit code 2, without starting its work.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "support/TempDir.h"

namespace velto {
namespace {

struct Outcome {
    int code = -1;
    std::string out;  // standard output, or standard error with `errors`
};

// Runs `program` with `arguments` (shell words) in a sandboxed home folder.
Outcome RunProgram(const test::TempDir& home, const std::string& program,
                   const std::string& arguments, bool errors) {
    const std::string command = "env -i HOME='" + home.path().string() + "' XDG_RUNTIME_DIR='" +
                                home.path().string() + "' '" + program + "' " + arguments +
                                (errors ? " 2>&1 >/dev/null" : " 2>/dev/null") + " </dev/null";
    Outcome outcome;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        outcome.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

TEST(Programs, HelpVersionAndWrongArguments) {
    const std::string bin = VELTO_BINARY_DIR "/bin/";
    test::TempDir home;
    for (const char* name : {"velto", "velto-scenario", "velto-convert", "velto-inspect",
                             "velto-devserver", "velto-account"}) {
        SCOPED_TRACE(name);
        const std::string program = bin + name;
        ASSERT_TRUE(std::filesystem::exists(program));

        const Outcome help = RunProgram(home, program, "--help", false);
        EXPECT_EQ(help.code, 0);
        EXPECT_TRUE(help.out.starts_with("usage: " + std::string(name))) << help.out;
        EXPECT_NE(help.out.find("--version"), std::string::npos);
        EXPECT_NE(help.out.find("exit codes:"), std::string::npos);
        EXPECT_EQ(help.out.find("velto: running"), std::string::npos) << help.out;

        const Outcome version = RunProgram(home, program, "--version", false);
        EXPECT_EQ(version.code, 0);
        EXPECT_TRUE(version.out.starts_with(std::string(name) + " (Velto) ")) << version.out;
        EXPECT_NE(version.out.find("GPL-3.0-or-later"), std::string::npos);

        for (const char* wrong : {"--no-such-option", "'--help=x'"}) {
            const Outcome usage = RunProgram(home, program, wrong, true);
            EXPECT_EQ(usage.code, 2) << wrong;
            EXPECT_TRUE(usage.out.starts_with(std::string(name) + ": ")) << usage.out;
            EXPECT_EQ(usage.out.find('\n'), usage.out.size() - 1) << usage.out;
            EXPECT_NE(usage.out.find("usage: " + std::string(name)), std::string::npos);
        }
    }
    // Nothing of the program's own ran: no settings were written.
    EXPECT_FALSE(std::filesystem::exists(home / ".config/Velto"));
}

}  // namespace
}  // namespace velto
