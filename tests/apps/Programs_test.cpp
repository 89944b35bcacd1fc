// Every built program answers --help and --version, and refuses a wrong argument with one
// usage line and exit code 2, without starting its work.
#include <gtest/gtest.h>

#include "support/ShellCommand.h"
#include "support/TempDir.h"

namespace velto {
namespace {

// Runs `program` with `arguments` (shell words) in a sandboxed home folder; `output` holds
// standard output, or standard error with `errors`.
test::ShellOutcome RunProgram(const test::TempDir& home, const std::string& program,
                              const std::string& arguments, bool errors) {
    const std::string folder = test::ShellQuote(home.path().string());
    return test::RunShell("env -i HOME=" + folder + " XDG_RUNTIME_DIR=" + folder + " " +
                          test::ShellQuote(program) + " " + arguments +
                          (errors ? " 2>&1 >/dev/null" : " 2>/dev/null") + " </dev/null");
}

TEST(Programs, HelpVersionAndWrongArguments) {
    const std::string bin = VELTO_BINARY_DIR "/bin/";
    test::TempDir home;
    for (const char* name : {"velto", "velto-scenario", "velto-convert", "velto-inspect",
                             "velto-devserver", "velto-account"}) {
        SCOPED_TRACE(name);
        const std::string program = bin + name;
        ASSERT_TRUE(std::filesystem::exists(program));

        const auto help = RunProgram(home, program, "--help", false);
        EXPECT_EQ(help.code, 0);
        EXPECT_TRUE(help.output.starts_with("usage: " + std::string(name))) << help.output;
        EXPECT_NE(help.output.find("--version"), std::string::npos);
        EXPECT_NE(help.output.find("exit codes:"), std::string::npos);
        EXPECT_EQ(help.output.find("velto: running"), std::string::npos) << help.output;

        const auto version = RunProgram(home, program, "--version", false);
        EXPECT_EQ(version.code, 0);
        EXPECT_TRUE(version.output.starts_with(std::string(name) + " (Velto) ")) << version.output;
        EXPECT_NE(version.output.find("GPL-3.0-or-later"), std::string::npos);

        for (const char* wrong : {"--no-such-option", "'--help=x'"}) {
            const auto usage = RunProgram(home, program, wrong, true);
            EXPECT_EQ(usage.code, 2) << wrong;
            EXPECT_TRUE(usage.output.starts_with(std::string(name) + ": ")) << usage.output;
            EXPECT_EQ(usage.output.find('\n'), usage.output.size() - 1) << usage.output;
            EXPECT_NE(usage.output.find("usage: " + std::string(name)), std::string::npos);
        }
    }
    // Nothing of the program's own ran: no settings were written.
    EXPECT_FALSE(std::filesystem::exists(home / ".config/Velto"));
}

}  // namespace
}  // namespace velto
