#include <gtest/gtest.h>

#include "callapi/Skype.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "server/ServerMessages.h"
#include "server/SystemDescription.h"
#include "server/UniqueIdThread.h"
#include "support/FrameTestServer.h"

namespace velto::server {
namespace {

using platform::Millis;

// Only what the report reads; everything else is never called.
class ReportingSkype : public skype::Skype {
  public:
    void Attach(int32_t, bool) override {}
    skype::AttachmentStatus AttachmentStatus() override { return {}; }
    std::string CurrentUserHandle() override { return "alice"; }
    std::shared_ptr<skype::User> CurrentUser() override { return nullptr; }
    std::string Version() override { return "3.8.0.188"; }
    std::shared_ptr<skype::UserCollection> Friends() override { return nullptr; }
    std::shared_ptr<skype::Command> CreateCommand() override { return nullptr; }
    void SendCommand(const std::shared_ptr<skype::Command>&) override {}
    std::shared_ptr<skype::Application> Application(const std::string&) override { return nullptr; }
    void SendMessage(const std::string&, const std::string&) override {}
    bool Advise(skype::EventSink&) override { return false; }
    void Unadvise(skype::EventSink&) override {}
    platform::Cookie RegisterIn(platform::InterfaceTable&) override { return 0; }
};

class FirstRunReportTest : public ::testing::Test {
  protected:
    FirstRunReportTest() {
        state_.SkypeCookie = table_.Register<skype::Skype>(std::make_shared<ReportingSkype>());
    }
    ~FirstRunReportTest() override {
        link_.reset();
        workers_.JoinAll();
    }
    ServerCommunicationInstance& Link() {
        link_ = std::make_unique<ServerCommunicationInstance>(
            clock_, workers_,
            LinkSettings{.host = "127.0.0.1",
                         .port = server_.port(),
                         .slowAnswerGrace = std::chrono::milliseconds(20)});
        return *link_;
    }

    const UniqueIdThread::SystemFacts facts_{"4_6_1_0_Debian GNU/Linux 12 (bookworm)", 1031};
    platform::TraceCapture trace_;
    platform::VirtualClock clock_;
    platform::Workers workers_{clock_};
    platform::InterfaceTable table_;
    core::SharedState state_;
    test::FrameTestServer server_;
    std::unique_ptr<ServerCommunicationInstance> link_;
};

TEST_F(FirstRunReportTest, SendsTheReportWithItsFiveTexts) {
    auto& link = Link();
    EXPECT_TRUE(UniqueIdThread::Run(table_, state_.SkypeCookie, link, facts_));
    const std::string expected(
        "\x06"
        "alice\0"
        "1.2_m\0"
        "4_6_1_0_Debian GNU/Linux 12 (bookworm)\0"
        "1031\0"
        "3.8.0.188\0",
        67);
    ASSERT_EQ(server_.Requests().size(), 1u);
    EXPECT_EQ(server_.Requests()[0], std::vector<uint8_t>(expected.begin(), expected.end()));
}

TEST_F(FirstRunReportTest, SentOnlyOnAFirstRunAndOnlyWithAKnownSystem) {
    auto& link = Link();
    platform::Workers reportThreads(clock_);
    state_.FirstRun = false;
    EXPECT_FALSE(UniqueIdThread::StartIfFirstRun(reportThreads, table_, state_, link, facts_));
    EXPECT_FALSE(UniqueIdThread::Run(table_, state_.SkypeCookie, link, {std::nullopt, 1033}));
    EXPECT_EQ(link.IfCreated(), nullptr);

    state_.FirstRun = true;
    EXPECT_TRUE(UniqueIdThread::StartIfFirstRun(reportThreads, table_, state_, link, facts_));
    reportThreads.JoinAll();
    EXPECT_EQ(server_.RequestCount(), 1u);
}

TEST_F(FirstRunReportTest, GivesUpAfterTenSecondsWithoutAnAnswer) {
    server_.Script({.behaviour = test::FrameTestServer::Behaviour::NeverAnswer});
    auto& link = Link();
    const Millis start = clock_.Now();
    EXPECT_FALSE(UniqueIdThread::Run(table_, state_.SkypeCookie, link, facts_));
    EXPECT_EQ(clock_.Now() - start, Millis(10000));
}

TEST(SystemDescriptionTest, KernelReleaseAndDistributionInTheUnderscoreForm) {
    EXPECT_EQ(DescribeSystem("6.1.0-18-amd64",
                             "NAME=\"Debian GNU/Linux\"\n"
                             "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "4_6_1_0_Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(DescribeSystem("5.15.146.1-microsoft-standard-WSL2", "NAME=Fedora\nVERSION='39'"),
              "4_5_15_146_Fedora 39");
    EXPECT_EQ(DescribeSystem("6.8", ""), "4_6_8_0_");
    EXPECT_EQ(DescribeSystem("", "PRETTY_NAME=x"), std::nullopt);
    EXPECT_EQ(DescribeSystem("linux", ""), std::nullopt);
    const auto longName = DescribeSystem("6.1", "PRETTY_NAME=" + std::string(300, 'a'));
    ASSERT_TRUE(longName);
    EXPECT_EQ(longName->size(), std::string("4_6_1_0_").size() + 127);
    // 127 bytes of name are kept whole, 128 cut to 127, and never inside a character.
    EXPECT_EQ(DescribeSystem("6.1", "PRETTY_NAME=" + std::string(127, 'b')),
              "4_6_1_0_" + std::string(127, 'b'));
    EXPECT_EQ(DescribeSystem("6.1", "PRETTY_NAME=" + std::string(128, 'b')),
              "4_6_1_0_" + std::string(127, 'b'));
    EXPECT_EQ(DescribeSystem("6.1", "PRETTY_NAME=" + std::string(126, 'b') + "\xC3\xA9"),
              "4_6_1_0_" + std::string(126, 'b'));
    EXPECT_TRUE(DescribeThisSystem().has_value());
}

TEST(SystemDescriptionTest, LocaleNamesGiveWindowsLanguageIds) {
    EXPECT_EQ(LanguageIdFromLocale("de_AT.UTF-8@euro"), 0x0C07);
    EXPECT_EQ(LanguageIdFromLocale("de_LU.UTF-8"), 0x0407);
    EXPECT_EQ(LanguageIdFromLocale("pt_BR"), 0x0416);
    EXPECT_EQ(LanguageIdFromLocale("ja"), 0x0411);
    EXPECT_EQ(LanguageIdFromLocale("C.UTF-8"), 0x0409);
    EXPECT_EQ(LanguageIdFromLocale(""), 0x0409);
}

}  // namespace
}  // namespace velto::server
