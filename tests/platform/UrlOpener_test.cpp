// The browser started for an address must not inherit the program's descriptors: a SIP
// socket kept open by a browser would hold the port after the program ends.
#include "platform/UrlOpener.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/TempDir.h"

namespace velto::platform {
namespace {

constexpr int kLeakedFd = 57;

// PATH pointing at a stand-in xdg-open for the test's lifetime.
class FakeXdgOpen {
  public:
    explicit FakeXdgOpen(const std::filesystem::path& folder) : old_(std::getenv("PATH")) {
        const auto script = folder / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\n"
                              << "if [ -e /proc/$$/fd/" << kLeakedFd
                              << " ]; then r=leaked; else r=clean; fi\n"
                              << "echo \"$r $1\" > '" << (folder / "report").string() << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        ::setenv("PATH", (folder.string() + ":/usr/bin:/bin").c_str(), 1);
    }
    ~FakeXdgOpen() { ::setenv("PATH", old_.c_str(), 1); }

  private:
    std::string old_;
};

TEST(XdgUrlOpener, TheBrowserGetsTheAddressButNoneOfOurDescriptors) {
    test::TempDir dir;
    const auto report = dir.path() / "report";
    ASSERT_EQ(::mkfifo(report.c_str(), 0600), 0);
    // Opened before the opener runs, so the stand-in's write finds a reader.
    const int reader = ::open(report.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    // A descriptor without close-on-exec, as libraries leave them.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    ASSERT_EQ(::dup2(pipeFds[0], kLeakedFd), kLeakedFd);
    FakeXdgOpen fake(dir.path());

    EXPECT_FALSE(XdgUrlOpener().Open("--version"));
    ASSERT_TRUE(XdgUrlOpener().Open("http://example.org/a b"));

    pollfd ready{reader, POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 10000), 1) << "the stand-in never reported";
    char buffer[256] = {};
    const ssize_t n = ::read(reader, buffer, sizeof buffer - 1);
    EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0),
              "clean http://example.org/a b\n");
    ::close(reader);
    ::close(kLeakedFd);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

}  // namespace
}  // namespace velto::platform
