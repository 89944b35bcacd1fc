// `cmake --install` into a prefix with blanks and non-ASCII letters gives a working
// installation: the machine hive names the installed share folder and the installed
// programs find the stock sounds there.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TempDir.h"

namespace velto {
namespace {

std::string Quoted(const std::filesystem::path& path) {
    std::string out = "'";
    for (const char c : path.string()) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Install, APrefixWithBlanksAndNonAsciiLettersWorks) {
    test::TempDir dir;
    const std::filesystem::path prefix = dir /
                                         "my velto/Pr\xc3\xbc"
                                         "fung \xe9\x93\x83";
    ASSERT_EQ(Shell(std::string(VELTO_CMAKE) + " --install " VELTO_BINARY_DIR " --prefix " +
                    Quoted(prefix) + " >" + Quoted(dir / "install.log") + " 2>&1"),
              0)
        << test::ReadFileBytes(dir / "install.log");

    const std::string hive = test::ReadFileBytes(prefix / "share/velto/machine.reg");
    EXPECT_NE(hive.find("\"InstallDir\"=\"" + (prefix / "share/velto").string() + "\"\n"),
              std::string::npos)
        << hive;
    for (const char* file :
         {"bin/velto", "bin/velto-convert", "bin/velto-inspect", "bin/velto-scenario",
          "bin/velto-devserver", "bin/velto-account", "lib/velto/velto-sip.so",
          "share/velto/default.wav", "share/applications/velto.desktop",
          "share/icons/hicolor/48x48/apps/velto.png"}) {
        EXPECT_TRUE(std::filesystem::exists(prefix / file)) << file;
    }

    // The installed velto-scenario plays a call with its default stock-sound folder.
    test::WriteFileBytes(dir / "call.scn",
                         "user vera\ncontact bob\nat 0s\ncall b1 from bob\nat 6s\nhangup b1\n");
    ASSERT_EQ(Shell(Quoted(prefix / "bin/velto-scenario") + " --data " + Quoted(dir / "data") +
                    " " + Quoted(dir / "call.scn") + " >" + Quoted(dir / "report.txt") + " 2>&1"),
              0)
        << test::ReadFileBytes(dir / "report.txt");
    const std::string report = test::ReadFileBytes(dir / "report.txt");
    EXPECT_NE(report.find("default.wav x"), std::string::npos) << report;
    // "Start with the session" names the installed program, quoted for its blanks.
    const std::string entry = test::ReadFileBytes(dir / "data/.config/autostart/XtraVelto.desktop");
    EXPECT_NE(entry.find("Exec=\"" + (prefix / "bin/velto").string() + "\" /OnStartUp\n"),
              std::string::npos)
        << entry;
}

}  // namespace
}  // namespace velto
