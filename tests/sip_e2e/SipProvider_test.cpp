// An account at a real provider: Kamailio on loopback as registrar and proxy, with digest
// authentication, a separate authentication user, and TLS from a CA of the test's own.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "InterfaceFixture.h"
#include "Kamailio.h"
#include "callapi/AutomationError.h"
#include "sipaccount/RegistrationNote.h"
#include "support/ChildProcess.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;
using platform::Millis;
using Steady = std::chrono::steady_clock;

constexpr const char* kAuthUser = "a1234";
constexpr const char* kPassword = "veltopw";

double MillisSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

class SipProviderTest : public SipInterfaceTest {
  protected:
    // One registrar for the whole program: its start is most of a test's cost.
    static void SetUpTestSuite() {
        if (!test::Kamailio::Available()) {
            return;
        }
        folder_ = new test::TempDir;
        registrar_ = new test::Kamailio(folder_->path(), test::PeerAddress(30),
                                        {{kAuthUser, kPassword}, {"alice", "alicepw"}});
        started_ = registrar_->Start();
    }
    static void TearDownTestSuite() {
        delete registrar_;
        delete folder_;
        registrar_ = nullptr;
        folder_ = nullptr;
    }
    void SetUp() override {
        SipInterfaceTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        if (!test::Kamailio::Available()) {
            GTEST_SKIP() << "Kamailio is not installed (scripts/setup installs it)";
        }
        ASSERT_TRUE(started_) << registrar_->Log();
    }

    std::string Domain() const { return registrar_->address(); }
    std::string Udp() const { return "sip:" + Domain() + ":5060"; }
    std::string Tcp() const { return "sip:" + Domain() + ":5060;transport=tcp"; }
    std::string Tls() const { return "sips:" + Domain() + ":5061"; }

    // velto@DOMAIN with the authentication user a1234, through `proxy`.
    SipBackendOptions Provider(const std::string& proxy, const std::string& password,
                               bool trustTheCa = true) {
        port = test::FreeUdpPort();
        SipBackendOptions options = Options(Listen(), proxy);
        SipSettings& s = *options.settings.settings;
        std::string error;
        s.identityText = "sip:velto@" + Domain();
        s.identity = *ParseSipAddress(s.identityText, error);
        s.proxyAddress = ParseSipAddress(proxy, error);
        s.authUser = kAuthUser;
        s.password = password;
        s.caFile = trustTheCa ? registrar_->CaFile().string() : "";
        options.registerRetry = Millis(1000);
        return options;
    }

    void CallThroughTheProxy(const std::string& proxy, const std::string& name, int peerAddress);

    static test::TempDir* folder_;
    static test::Kamailio* registrar_;
    static bool started_;
};

test::TempDir* SipProviderTest::folder_ = nullptr;
test::Kamailio* SipProviderTest::registrar_ = nullptr;
bool SipProviderTest::started_ = false;

TEST_F(SipProviderTest, RegistersOverUdpTcpAndTlsWithASeparateAuthenticationUser) {
    const std::pair<std::string, std::string> transports[] = {
        {Udp(), "UDP"}, {Tcp(), "TCP"}, {Tls(), "TLS"}};
    for (const auto& [proxy, name] : transports) {
        const size_t from = registrar_->Log().size();
        sink.events.clear();
        const auto start = Steady::now();
        SipSkypeFactory factory(Provider(proxy, kPassword));
        auto skype = Attached(factory);
        std::printf("figure: registered over %s in %.0f ms\n", name.c_str(), MillisSince(start));
        EXPECT_TRUE(trace.Contains("SIP: registered at " + proxy + " over " + name + " as velto@" +
                                   Domain() + " (expires in 600 s)\n"))
            << trace.Text();
        std::string lower = name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(c));
        }
        EXPECT_TRUE(registrar_->WaitForLog(
            "REGISTERED sip:velto@" + Domain() + " au=a1234 over " + lower, 2000ms, from))
            << registrar_->Log().substr(from);
        EXPECT_NE(registrar_->Log().find("ua=Velto/", from), std::string::npos);
    }
}

// The registrar's name does not resolve: only the outbound proxy's route reaches it.
TEST_F(SipProviderTest, RegistersThroughAnOutboundProxy) {
    const std::string registrar = "sip:provider.invalid";
    SipBackendOptions options = Provider(registrar, kPassword);
    SipSettings& s = *options.settings.settings;
    std::string error;
    s.identityText = "sip:velto@provider.invalid";
    s.identity = *ParseSipAddress(s.identityText, error);
    s.outboundProxy = Tcp() + ";lr";
    s.outboundProxyAddress = ParseSipAddress(s.outboundProxy, error);
    ASSERT_TRUE(s.outboundProxyAddress) << error;
    const size_t from = registrar_->Log().size();
    SipSkypeFactory factory(options);
    auto skype = Attached(factory);
    EXPECT_TRUE(trace.Contains("SIP: registered at " + registrar + " via " + s.outboundProxy +
                               " over TCP as velto@provider.invalid"))
        << trace.Text();
    EXPECT_TRUE(registrar_->WaitForLog("REGISTERED sip:velto@provider.invalid au=a1234 over tcp",
                                       2000ms, from))
        << registrar_->Log().substr(from);
}

TEST_F(SipProviderTest, AnUntrustedCertificateIsRefusedWithTheReason) {
    SipSkypeFactory factory(Provider(Tls(), kPassword, false));
    auto skype = factory.CreateSkype(loop);
    skype->Advise(sink);
    skype->Attach(kAttachProtocol, false);
    ASSERT_TRUE(RunUntil([&] { return trace.Contains(" over TLS failed: "); })) << trace.Text();
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    // Which certificate, and why, in the one line.
    EXPECT_TRUE(
        trace.Contains(" over TLS failed: 503 io error (the server's certificate \"CN=" + Domain() +
                       "\" (issued by \"CN=Velto Test CA\") was refused: not-trusted); "
                       "next try in 1 s, at "))
        << trace.Text();
}

TEST_F(SipProviderTest, AnUnreachableTlsServerIsReportedAndTriedAgain) {
    const std::string closed = "sips:" + Domain() + ":5062";  // nobody listens there
    SipSkypeFactory factory(Provider(closed, kPassword));
    auto skype = factory.CreateSkype(loop);
    skype->Advise(sink);
    skype->Attach(kAttachProtocol, false);
    ASSERT_TRUE(RunUntil([&] { return trace.Count(" over TLS failed: ") >= 2; })) << trace.Text();
    EXPECT_TRUE(trace.Contains("SIP: registration at " + closed + " over TLS failed: "));
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
}

TEST_F(SipProviderTest, TheRegistrationAsksForTheConfiguredExpiry) {
    SipBackendOptions options = Provider(Tcp(), kPassword);
    options.settings.settings->expiry = 120;
    const size_t from = registrar_->Log().size();
    SipSkypeFactory factory(options);
    auto skype = Attached(factory);
    EXPECT_TRUE(registrar_->WaitForLog("REGISTERED sip:velto@" + Domain() + " au=a1234 over tcp",
                                       2000ms, from))
        << registrar_->Log().substr(from);
    EXPECT_TRUE(trace.Contains("(expires in 120 s)\n")) << trace.Text();
}

TEST_F(SipProviderTest, AWrongPasswordFixedWhileRunningRegistersWithoutARestart) {
    std::mutex mutex;
    std::string password = "wrong";
    SipBackendOptions options = Provider(Udp(), password);
    // The next retry is a minute away: the fixed password is noticed by the checks.
    options.registerRetry = Millis(60000);
    options.passwordCheck = Millis(1000);
    options.rereadSettings = [&, settings = options.settings] {
        SipSettingsResult fresh = settings;
        std::lock_guard guard(mutex);
        fresh.settings->password = password;
        return fresh;
    };
    auto factory = std::make_unique<SipSkypeFactory>(options);
    auto skype = factory->CreateSkype(loop);
    skype->Advise(sink);
    skype->Attach(kAttachProtocol, false);
    // The attachment's change reaches the loop after the trace line.
    ASSERT_TRUE(RunUntil([&] {
        return trace.Contains(" over UDP failed: ") &&
               sink.LastAttachment() == ToInt(AttachmentStatus::NotAvailable);
    })) << trace.Text();
    // The note for velto-account status says the same as the trace, with this process.
    auto note = ParseRegistrationNote(test::ReadFileBytes(dir / "sip" / kRegistrationNoteName));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->pid, getpid());
    EXPECT_TRUE(trace.Contains("SIP: " + note->line + "\n")) << note->line;
    EXPECT_NE(note->line.find(" over UDP failed: 40"), std::string::npos) << note->line;

    const auto fixed = Steady::now();
    {
        std::lock_guard guard(mutex);
        password = kPassword;
    }
    ASSERT_TRUE(RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::Success); },
                         Millis(10000)))
        << trace.Text();
    std::printf("figure: registered %.0f ms after the password was fixed (checked every 1 s)\n",
                MillisSince(fixed));
    note = ParseRegistrationNote(test::ReadFileBytes(dir / "sip" / kRegistrationNoteName));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->line.rfind("registered at " + Udp() + " over UDP as velto@", 0), 0u)
        << note->line;
    // Letting the account go takes the note away.
    skype.reset();
    factory.reset();
    EXPECT_FALSE(std::filesystem::exists(dir / "sip" / kRegistrationNoteName));
}

TEST_F(SipProviderTest, ARestartedRegistrarGetsTheRegistrationAgain) {
    SipSkypeFactory factory(Provider(Tcp(), kPassword));
    auto skype = Attached(factory);
    // Its memory of the registration goes with it.
    registrar_->Stop();
    const size_t from = registrar_->Log().size();
    ASSERT_TRUE(registrar_->Start()) << registrar_->Log();
    EXPECT_TRUE(registrar_->WaitForLog("REGISTERED sip:velto@" + Domain(), 15000ms, from))
        << trace.Text() << registrar_->Log().substr(from);
    EXPECT_TRUE(
        RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::Success); }));
}

// A call from baresip (registered at the same Kamailio over UDP) to velto registered
// through `proxy`: ring-back as early media, a chat message, the caller's hang-up.
void SipProviderTest::CallThroughTheProxy(const std::string& proxy, const std::string& name,
                                          int peerAddress) {
    test::WriteSine(dir / "voice.wav", 8000, 440, 10);
    test::WriteSine(dir / "tone.wav", 16000, 1000, 2);
    test::SipPeer peer(dir / "peer", test::PeerAddress(peerAddress), dir / "voice.wav");
    peer.RegisterAt(Domain(), "alicepw");
    SipSkypeFactory factory(Provider(proxy, kPassword));
    auto skype = Attached(factory);

    const size_t from = registrar_->Log().size();
    peer.Call("sip:velto@" + Domain(), 4);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
        << peer.Log() << registrar_->Log().substr(from);
    auto call = sink.CallWithStatus(CallStatus::Ringing);
    EXPECT_EQ(call->PartnerHandle(), peer.Handle());
    // Neither a display name nor a contact: the handle names the caller.
    EXPECT_EQ(call->PartnerDisplayName(), peer.Handle());
    call->Answer();
    call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
    ASSERT_TRUE(RunUntil([&] { return call->Status() == CallStatus::EarlyMedia; }));
    const double earlyMedia = MillisSince(peer.started());
    skype->SendMessage(peer.Handle(), "Velto rings back");

    // The caller hangs up after 4 s: the call ends at once, not after a dialog time-out.
    ASSERT_TRUE(RunUntil([&] { return call->Status() != CallStatus::EarlyMedia; }, Millis(8000)));
    const double ended = MillisSince(peer.started());
    EXPECT_TRUE(call->Status() == CallStatus::Missed || call->Status() == CallStatus::Finished)
        << ToInt(call->Status());
    EXPECT_LT(ended, 6500) << registrar_->Log().substr(from);
    EXPECT_TRUE(peer.WaitForLog("Velto rings back", 2000ms)) << peer.Log();
    peer.Wait(3000ms);
    const auto heard = peer.Heard();
    ASSERT_TRUE(heard) << peer.Log();
    EXPECT_GE(test::SecondsOf(*heard, 1000), 2.0);
    const auto first = test::FirstSound(*heard);
    ASSERT_TRUE(first);
    std::printf(
        "figure: over %s through the proxy: dial to early media %.0f ms, first tone "
        "sample %.0f ms into the caller's sound; call over %.0f ms after the dial "
        "(hang-up at 4000)\n",
        name.c_str(), earlyMedia, *first * 1000, ended);
}

TEST_F(SipProviderTest, ACallThroughTheProxyOverTlsRingsBackAndEndsWithTheCallersHangUp) {
    CallThroughTheProxy(Tls(), "TLS", 31);
}

TEST_F(SipProviderTest, ACallThroughTheProxyOverUdpRingsBackAndEndsWithTheCallersHangUp) {
    CallThroughTheProxy(Udp(), "UDP", 32);
}

TEST_F(SipProviderTest, ACallThroughTheProxyOverTcpRingsBackAndEndsWithTheCallersHangUp) {
    CallThroughTheProxy(Tcp(), "TCP", 33);
}

TEST_F(SipProviderTest, VeltoAccountStatusRegistersOnceAndSaysHowInOneLine) {
    const auto home = dir / "home";
    auto status = [&](const std::string& password) {
        platform::Registry hive({home / ".config/Velto/user.reg", dir / "none.reg", {}});
        hive.CreateKey(platform::RegRoot::CurrentUser, kSipKey);
        const std::pair<const char*, std::string> values[] = {
            {kIdentityValue, "sip:velto@" + Domain()},
            {kProxyValue, Tls()},
            {kListenValue, "127.0.0.1:5060"},  // taken or not: status uses a port of its own
            {"AuthUser", kAuthUser},
            {"CaFile", registrar_->CaFile().string()},
            {kPasswordValue, password}};
        for (const auto& [name, value] : values) {
            hive.SetString(platform::RegRoot::CurrentUser, kSipKey, name, value);
        }
        // A clean environment, but for the sanitizers' options (their suppressions).
        std::string env = "env -i HOME=" + test::ShellQuote(home.string());
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS", "LSAN_OPTIONS"}) {
            if (const char* value = std::getenv(name)) {
                env += std::string(" ") + name + "=" + test::ShellQuote(value);
            }
        }
        return test::RunShell(env + " timeout 30 " VELTO_ACCOUNT_PROGRAM " status 2>&1");
    };
    const auto start = Steady::now();
    const auto good = status(kPassword);
    std::printf("figure: velto-account status took %.0f ms\n", MillisSince(start));
    EXPECT_EQ(good.code, 0) << good.output;
    EXPECT_EQ(good.output, "registered at " + Tls() + " over TLS as velto@" + Domain() +
                               " (expires in 600 s)\n");
    const auto bad = status("wrong");
    EXPECT_EQ(bad.code, 1) << bad.output;
    EXPECT_EQ(bad.output.rfind("registration at " + Tls() + " over TLS failed: ", 0), 0u)
        << bad.output;
    EXPECT_EQ(std::count(bad.output.begin(), bad.output.end(), '\n'), 1) << bad.output;

    // With velto running, status tells what velto says and registers nothing of its own.
    status(kPassword);
    std::filesystem::create_directories(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    test::ChildProcess velto(
        {VELTO_PROGRAM, "--headless"},
        {"HOME=" + home.string(), "XDG_RUNTIME_DIR=" + (dir / "run").string(), "PATH=/usr/bin:/bin",
         "LSAN_OPTIONS=suppressions=" VELTO_SOURCE_DIR "/tests/apps/sip-stack.lsan.supp"});
    ASSERT_TRUE(velto.ReadUntil("SIP: registered at ")) << velto.text();
    const size_t from = registrar_->Log().size();
    const auto running = status(kPassword);
    EXPECT_EQ(running.code, 0) << running.output;
    EXPECT_EQ(running.output, "velto (process " + std::to_string(velto.pid()) +
                                  ") says: registered at " + Tls() + " over TLS as velto@" +
                                  Domain() + " (expires in 600 s)\n");
    EXPECT_EQ(registrar_->Log().find("REGISTERED", from), std::string::npos);
    velto.Signal(SIGTERM);
    velto.ReadToEnd();
    EXPECT_EQ(velto.Wait(), 0) << velto.text();
}

}  // namespace
}  // namespace velto::skype::sip

namespace velto::skype::sip {
namespace {

using SipIpv6Test = SipInterfaceTest;

TEST_F(SipIpv6Test, ListensOnAnIpv6AddressAndAnswersThere) {
    const int fd = socket(AF_INET6, SOCK_DGRAM, 0);
    sockaddr_in6 self{};
    self.sin6_family = AF_INET6;
    inet_pton(AF_INET6, "::1", &self.sin6_addr);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof self) != 0) {
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    SipSkypeFactory factory(Options("[::1]:" + std::to_string(port)));
    auto skype = Attached(factory);
    // Traced once the stack has started (the attachment may come first).
    EXPECT_TRUE(RunUntil([&] {
        return trace.Contains("SIP: listening on [::1]:" + std::to_string(port));
    })) << trace.Text();

    socklen_t length = sizeof self;
    getsockname(fd, reinterpret_cast<sockaddr*>(&self), &length);
    const std::string from = "[::1]:" + std::to_string(ntohs(self.sin6_port));
    const std::string target = "sip:velto@[::1]:" + std::to_string(port);
    const std::string options = "OPTIONS " + target + " SIP/2.0\r\nVia: SIP/2.0/UDP " + from +
                                ";branch=z9hG4bK-v6test\r\nMax-Forwards: 70\r\nFrom: "
                                "<sip:raw@" +
                                from + ">;tag=1\r\nTo: <" + target +
                                ">\r\nCall-ID: v6test\r\nCSeq: 1 OPTIONS\r\nContent-Length: "
                                "0\r\n\r\n";
    sockaddr_in6 to = self;
    to.sin6_port = htons(port);
    sendto(fd, options.data(), options.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    std::string answer;
    ASSERT_TRUE(RunUntil([&] {
        char buffer[4096];
        const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0) {
            answer.assign(buffer, static_cast<size_t>(got));
        }
        return !answer.empty();
    })) << trace.Text();
    EXPECT_EQ(answer.rfind("SIP/2.0 200", 0), 0u) << answer;
    close(fd);
}

}  // namespace
}  // namespace velto::skype::sip
