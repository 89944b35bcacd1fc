#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/SoundOutput.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/TempDir.h"

namespace velto::platform {
namespace {

// Whatever the machine has (a sound card or none), looking for a device prints nothing on
// standard error, and an output always comes back (the null one at worst).
TEST(SoundOutputProbe, LooksForADeviceWithoutNoiseOnStandardError) {
    test::TempDir dir;
    const auto captured = dir / "stderr.txt";
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ASSERT_GE(saved, 0);
    const int file = ::open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(file, 0);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
    {
        TraceCapture trace;
        trace.set_echo(false);
        VirtualClock clock;
        auto output = OpenSoundOutput(clock);
        EXPECT_NE(output, nullptr);
        std::fprintf(stderr, "after the probe\n");
        std::fflush(stderr);
    }
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::ifstream in(captured);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "after the probe\n");
}

}  // namespace
}  // namespace velto::platform
