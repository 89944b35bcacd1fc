// The SIP backend module as velto reaches it: found beside the program, loaded only when
// asked and only once the program's loop turns, and refused with a reason when it is not
// one (the program then runs without calls).
#include "sipaccount/SipModuleLoader.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/SharedModule.h"
#include "platform/Trace.h"
#include "support/RealTimeLimit.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

bool SipStackLoaded() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("liblinphone") != std::string::npos) {
            return true;
        }
    }
    return false;
}

SipModuleOptions NoAccount(platform::Clock& clock, const test::TempDir& dir) {
    return {.clock = clock,
            .settings = {.settings = {}, .error = "Identity: no address given"},
            .contactsFile = dir / "contacts.vcf",
            .dataDir = dir / "sip"};
}

class AttachmentSink final : public EventSink {
  public:
    int32_t SinkId() const override { return 1; }
    void OnEvent(const Event& event) override {
        if (event.id == EventId::AttachmentStatus) {
            std::lock_guard guard(mutex_);
            statuses_.push_back(static_cast<AttachmentStatus>(event.Int(0)));
        }
    }
    std::vector<AttachmentStatus> statuses() const {
        std::lock_guard guard(mutex_);
        return statuses_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<AttachmentStatus> statuses_;
};

TEST(SipModule, LivesInLibVeltoBesideTheProgramsFolder) {
    EXPECT_EQ(SipModuleFile("/usr/bin"), "/usr/lib/velto/velto-sip.so");
    EXPECT_EQ(SipModuleFile("/opt/my velto/bin"), "/opt/my velto/lib/velto/velto-sip.so");
}

TEST(SipModule, WhatIsNoModuleIsRefusedWithTheReason) {
    test::TempDir dir;
    platform::RealClock clock;
    platform::TraceCapture trace;
    EXPECT_EQ(LoadSipModule(dir / "velto-sip.so", NoAccount(clock, dir)), nullptr);
    EXPECT_TRUE(trace.Contains("SIP module: cannot load it: " + (dir / "velto-sip.so").string() +
                               ": cannot open shared object file"))
        << trace.Text();

    trace.Clear();
    test::WriteFileBytes(dir / "text.so", "not a module\n");
    EXPECT_EQ(LoadSipModule(dir / "text.so", NoAccount(clock, dir)), nullptr);
    EXPECT_TRUE(trace.Contains("SIP module: cannot load it: " + (dir / "text.so").string()))
        << trace.Text();

    // A real library without the entry point: the C library.
    Dl_info libc{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&std::fflush), &libc), 0);
    trace.Clear();
    EXPECT_EQ(LoadSipModule(libc.dli_fname, NoAccount(clock, dir)), nullptr);
    EXPECT_TRUE(trace.Contains("velto_sip_create_factory")) << trace.Text();
    EXPECT_FALSE(SipStackLoaded());
}

TEST(SipModule, AModuleOfAnotherBuildIsNotUsed) {
    test::TempDir dir;
    platform::RealClock clock;
    const platform::ModuleSymbol entry =
        platform::LoadModuleSymbol(VELTO_SIP_MODULE, kSipModuleEntry);
    ASSERT_NE(entry.address, nullptr) << entry.error;
    const auto create = reinterpret_cast<VeltoSipCreateFactory>(entry.address);
    SipModuleOptions options = NoAccount(clock, dir);
    EXPECT_EQ(create(kSipModuleInterface + 1, sizeof options, &options), nullptr);
    EXPECT_EQ(create(kSipModuleInterface, sizeof options - 8, &options), nullptr);
    EXPECT_EQ(create(kSipModuleInterface, sizeof options, nullptr), nullptr);
}

// The stack comes into the process only once the loop turns; its Skype object then answers
// the attach the program asked for at once.
TEST(SipModule, LoadsWhenTheLoopTurnsAndTakesOverTheStandIn) {
    test::RealTimeLimit limit(std::chrono::seconds(60), "the SIP module's load");
    test::TempDir dir;
    platform::RealClock clock;
    platform::TraceCapture trace;
    platform::MessageLoop loop(clock);
    ASSERT_FALSE(SipStackLoaded());
    SipModuleFactory factory(VELTO_SIP_MODULE, [&] { return NoAccount(clock, dir); });
    AttachmentSink sink;
    {
        auto skype = factory.CreateSkype(loop);
        ASSERT_NE(skype, nullptr);
        ASSERT_TRUE(skype->Advise(sink));
        skype->Attach(8, false);
        EXPECT_EQ(skype->AttachmentStatus(), AttachmentStatus::Unknown);
        EXPECT_FALSE(SipStackLoaded());

        ASSERT_TRUE(
            loop.RunUntil([&] { return !sink.statuses().empty(); }, platform::Millis(50000)))
            << trace.Text();
        EXPECT_TRUE(SipStackLoaded());
        EXPECT_TRUE(trace.Contains("SIP module: " VELTO_SIP_MODULE " loaded in ")) << trace.Text();
        // Without an account the backend says it cannot attach.
        EXPECT_EQ(sink.statuses(), std::vector{AttachmentStatus::NotAvailable});
        EXPECT_EQ(skype->AttachmentStatus(), AttachmentStatus::NotAvailable);
        skype->Unadvise(sink);
    }
    // Later objects come straight from the module.
    EXPECT_NE(factory.CreateSkype(loop), nullptr);
}

}  // namespace
}  // namespace velto::skype::sip
