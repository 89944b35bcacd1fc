// The automation interface on the SIP backend, driven by hand against a real peer.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "InterfaceFixture.h"
#include "RawSip.h"
#include "callapi/AutomationError.h"
#include "skype/ApplicationChannel.h"

namespace velto::skype::sip {
namespace {

using namespace std::chrono_literals;
using platform::Millis;

TEST_F(SipInterfaceTest, ATakenPortIsReportedAndTriedAgain) {
    // The port is held by someone else at the start, then freed.
    const int blocker = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    ASSERT_EQ(bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    SipSkypeFactory factory(Options("127.0.0.1:" + std::to_string(port)));
    auto skype = Answered(factory);
    ASSERT_TRUE(sink.LastAttachment().has_value());
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    EXPECT_TRUE(trace.Contains("SIP: not available: Listen 127.0.0.1:" + std::to_string(port) +
                               " (UDP): Address already in use (trying again in a while)\n"));
    EXPECT_THROW(skype->Friends(), AutomationError);

    close(blocker);
    ASSERT_TRUE(RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::Success); }))
        << trace.Text();
    EXPECT_EQ(skype->CurrentUserHandle(), "velto@127.0.0.1");
}

TEST_F(SipInterfaceTest, ABadAccountLeavesTheBackendNotAvailableWithTheReason) {
    SipBackendOptions options = Options("127.0.0.1:" + std::to_string(port));
    options.settings = SipSettingsResult{
        std::nullopt, "Identity \"alice\": it does not start with \"sip:\" or \"sips:\""};
    SipSkypeFactory factory(options);
    auto skype = Answered(factory);
    ASSERT_TRUE(sink.LastAttachment().has_value());
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    EXPECT_TRUE(trace.Contains(
        "SIP: not available: Identity \"alice\": it does not start with \"sip:\" or \"sips:\" (see "
        "velto-account --help)\n"));
}

TEST_F(SipInterfaceTest, WithoutTheStacksGrammarTheBackendDoesNotStart) {
    // The stack would abort the program at the first SIP MESSAGE.
    SipBackendOptions options = Options(Listen());
    options.stackGrammar = dir / "no-such-grammar";
    SipSkypeFactory factory(options);
    auto skype = Answered(factory);
    ASSERT_TRUE(sink.LastAttachment().has_value());
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    EXPECT_TRUE(trace.Contains("SIP: not available: the SIP stack's file " +
                               (dir / "no-such-grammar").string() +
                               " is missing (install linphone-common)\n"))
        << trace.Text();
}

// The stack's TURN client over TLS can crash the program (kTurnTlsRefused): a TLS server is
// refused with the reason, even when it came into the settings some other way than through
// their checks.
TEST_F(SipInterfaceTest, ATurnServerOverTlsIsRefusedWithTheReason) {
    SipBackendOptions options = Options(Listen());
    options.settings.settings->turn = "turns:127.0.0.1";
    SipSkypeFactory factory(options);
    auto skype = Answered(factory);
    ASSERT_TRUE(sink.LastAttachment().has_value());
    EXPECT_EQ(sink.LastAttachment(), ToInt(AttachmentStatus::NotAvailable));
    EXPECT_TRUE(
        trace.Contains("SIP: not available: Turn \"turns:127.0.0.1\": TURN over TLS is not "
                       "offered: the SIP stack can crash when it refuses the server's "
                       "certificate; use ;transport=tcp\n"))
        << trace.Text();
}

// The stack would take its relay from one address and send the sound from another, which
// the relay drops: the user is told at start.
TEST_F(SipInterfaceTest, ATurnServerReachedFromAnotherAddressThanTheListenOneIsSaid) {
    const std::string other = test::PeerAddress(41);
    const auto start = [&](const std::string& listen, const std::string& turn) {
        trace.Clear();
        SipBackendOptions options = Options(listen);
        options.settings.settings->turn = turn;
        SipSkypeFactory factory(options);
        auto skype = Attached(factory);
        // Said on the stack's thread, which may be a step behind the attachment.
        return RunUntil([&] { return trace.Contains("SIP: listening on "); }) &&
               trace.Contains("SIP: sound relayed through the TURN server " + turn);
    };
    ASSERT_TRUE(start(other + ":" + std::to_string(port), "127.0.0.1:3478")) << trace.Text();
    EXPECT_TRUE(
        trace.Contains("SIP: the TURN server 127.0.0.1:3478 is reached from 127.0.0.1, not "
                       "from the listen address " +
                       other +
                       ": the relay may drop the call's sound (listen on 127.0.0.1, or "
                       "on every address)\n"))
        << trace.Text();
    // Reached from the listen address, or listening on every address: nothing to say.
    for (const std::string& listen : {Listen(), "0.0.0.0:" + std::to_string(port)}) {
        ASSERT_TRUE(start(listen, other + ":3478")) << trace.Text();
        EXPECT_FALSE(trace.Contains("is reached from")) << trace.Text();
    }
}

TEST_F(SipInterfaceTest, DeclineBeforeAnswerSends603AndObjectsStayOnTheirThread) {
    test::SipPeer peer(dir / "peer", test::PeerAddress(81), dir / "voice.wav");
    test::WriteSine(dir / "voice.wav", 8000, 440, 5);
    SipSkypeFactory factory(Options("127.0.0.1:" + std::to_string(port)));
    auto skype = factory.CreateSkype(loop);
    skype->Advise(sink);
    skype->Attach(kAttachProtocol, false);
    ASSERT_TRUE(
        RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::Success); }));

    peer.Call(Target(), 5);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
        << peer.Log();
    auto call = sink.CallWithStatus(CallStatus::Ringing);
    EXPECT_EQ(call->PartnerHandle(), peer.Handle());
    EXPECT_EQ(call->Type(), CallType::IncomingP2P);
    EXPECT_EQ(call->VideoSendStatus(), VideoStatus::NotAvailable);

    // Another thread reaches the call only through the interface table.
    platform::InterfaceTable table;
    const platform::Cookie cookie = call->RegisterIn(table);
    std::atomic<int32_t> wrongThread{0};
    std::atomic<int32_t> seenStatus{-1};
    std::thread other([&] {
        try {
            call->Status();
        } catch (const AutomationError& error) {
            wrongThread = error.code();
        }
        seenStatus = ToInt(table.Get<Call>(cookie)->Status());
    });
    other.join();
    EXPECT_EQ(wrongThread.load(), kWrongThread);
    EXPECT_EQ(seenStatus.load(), ToInt(CallStatus::Ringing));

    call->Finish();
    ASSERT_TRUE(RunUntil([&] { return call->Status() == CallStatus::Refused; }));
    EXPECT_TRUE(peer.WaitForLog("603 Decline", 2000ms)) << peer.Log();
}

TEST_F(SipInterfaceTest, LettingGoOfTheSkypeObjectEndsTheCallAtOnce) {
    test::SipPeer peer(dir / "peer", test::PeerAddress(82), dir / "voice.wav");
    // Long enough to outlast the ring-back on a slow (sanitized) build: the peer's voice
    // starts with the early media.
    test::WriteSine(dir / "voice.wav", 8000, 440, 40);
    test::WriteSine(dir / "tone.wav", 16000, 1000, 0.8);
    SipSkypeFactory factory(Options("127.0.0.1:" + std::to_string(port)));
    auto skype = factory.CreateSkype(loop);
    skype->Advise(sink);
    skype->Attach(kAttachProtocol, false);
    ASSERT_TRUE(
        RunUntil([&] { return sink.LastAttachment() == ToInt(AttachmentStatus::Success); }));

    peer.Call(Target(), 30);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
        << peer.Log();
    auto call = sink.CallWithStatus(CallStatus::Ringing);
    std::atomic<int> changes{0};
    const auto watch = call->Watch([&] { ++changes; });
    call->Answer();
    call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
    EXPECT_EQ(call->InputDevice(DeviceKind::File), (dir / "tone.wav").string());
    EXPECT_TRUE(call->InputStillPlaying());
    EXPECT_THROW(call->Answer(), AutomationError);  // answered already
    ASSERT_TRUE(RunUntil([&] { return call->Status() == CallStatus::EarlyMedia; }));
    // The ring-back loops by itself, yet its end is told after one length, so that the
    // program sets it again instead of asking all the time.
    ASSERT_TRUE(RunUntil([&] { return !call->InputStillPlaying(); }, Millis(3000)));
    EXPECT_EQ(call->InputDevice(DeviceKind::File), "");
    EXPECT_GE(changes.load(), 2);  // early media, and the file's end
    // A second file means the call is answered for real.
    call->SetOutputDevice(DeviceKind::File, (dir / "message.wav").string());
    ASSERT_TRUE(RunUntil([&] { return call->Status() == CallStatus::InProgress; }));
    // The caller talks: the recording under its temporary name grows (8 kHz, 16 bits).
    ASSERT_TRUE(RunUntil([&] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "sip", error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("recording-", 0) == 0 && entry.path().extension() == ".wav" &&
                std::filesystem::file_size(entry.path(), error) >= 44 + 16000 && !error) {
                return true;
            }
        }
        return false;
    }));

    sink.events.clear();
    skype->Unadvise(sink);
    skype.reset();
    EXPECT_EQ(call->Status(), CallStatus::Finished);
    // The stack stops on its thread; the peer gets its BYE within a second.
    EXPECT_TRUE(peer.WaitForLog("session closed", 1000ms)) << peer.Log();
    // Moved into place once the stack has closed it.
    EXPECT_TRUE(
        RunUntil([&] { return std::filesystem::exists(dir / "message.wav"); }, Millis(2000)));
    const auto message = test::ReadPcm(dir / "message.wav");
    ASSERT_TRUE(message) << trace.Text();
    EXPECT_GE(test::SecondsOf(*message, 440), 0.5);
    // Nothing of the recording stays behind (the file, its side file).
    for (const auto& entry : std::filesystem::directory_iterator(dir / "sip")) {
        EXPECT_NE(entry.path().filename().string().rfind("recording-", 0), 0u) << entry.path();
    }
}

// Let go while the stack is still connecting the answer (its early media not yet running):
// the call ends, the caller is told at once, nothing is left behind.
TEST_F(SipInterfaceTest, LettingGoWhileTheAnswerIsBeingConnectedEndsTheCallCleanly) {
    test::SipPeer peer(dir / "peer", test::PeerAddress(83), dir / "voice.wav");
    test::WriteSine(dir / "voice.wav", 8000, 440, 20);
    test::WriteSine(dir / "tone.wav", 16000, 1000, 2);
    SipSkypeFactory factory(Options("127.0.0.1:" + std::to_string(port)));
    auto skype = Attached(factory);

    peer.Call(Target(), 15);
    ASSERT_TRUE(RunUntil([&] { return sink.CallWithStatus(CallStatus::Ringing) != nullptr; }))
        << peer.Log();
    auto call = sink.CallWithStatus(CallStatus::Ringing);
    call->Answer();
    call->SetInputDevice(DeviceKind::File, (dir / "tone.wav").string());
    EXPECT_EQ(call->Status(), CallStatus::Ringing);  // the stack has not connected it yet
    sink.events.clear();
    skype->Unadvise(sink);
    skype.reset();
    // Never connected: missed (finished, should the stack have been quicker).
    const CallStatus status = call->Status();
    EXPECT_TRUE(status == CallStatus::Missed || status == CallStatus::Finished) << ToInt(status);
    // The caller learns at once that the call is over (not after its own 15 s).
    EXPECT_TRUE(peer.WaitForLog("session closed", 3000ms)) << peer.Log();
    // The backend's thread lets go of the stack after the caller's answer to the BYE (up to
    // 0.8 s more): then nothing of the recording stays behind.
    const auto leftOver = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "sip")) {
            if (entry.path().filename().string().rfind("recording-", 0) == 0) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    };
    EXPECT_TRUE(RunUntil([&] { return leftOver().empty(); }, Millis(3000)))
        << leftOver().size() << " recording files left";
}

TEST_F(SipInterfaceTest, APeersApplicationMessageReachesTheApplicationChannel) {
    SipSkypeFactory factory(Options(Listen()));
    auto skype = Attached(factory);
    int stops = 0;
    ApplicationChannel channel([&] { ++stops; });
    channel.Prepare(*skype);
    // Port 5060: the stack answers a peer there (its chat rooms drop other ports).
    test::RawSip peer(test::PeerAddress(85), 5060);
    ASSERT_TRUE(peer.Bound());
    auto finalAnswer = [&] {
        for (;;) {
            auto answer = peer.ReceiveStarting("SIP/2.0 ", 5000ms);
            if (!answer || test::RawSip::StatusOf(*answer) >= 200) {
                return answer;
            }
        }
    };

    // A chat message saying the same is no application message.
    peer.SendTo(port, peer.Message(Target(), "text/plain", "SP"));
    auto answer = finalAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(test::RawSip::StatusOf(*answer), 200) << *answer;
    peer.SendTo(port, peer.Message(Target(), "application/x-velto-app", "SP"));
    answer = finalAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(test::RawSip::StatusOf(*answer), 200) << *answer;

    // The program's channel reads it from the stream the peer's message opened.
    size_t seen = 0;
    int receivings = 0;
    std::string partner;
    ASSERT_TRUE(RunUntil([&] {
        for (; seen < sink.events.size(); ++seen) {
            const Event& event = sink.events[seen];
            if (event.id == EventId::ApplicationReceiving) {
                ++receivings;
                auto streams = event.Object<ApplicationStreamCollection>(1);
                partner = streams->Item(1)->PartnerHandle();
                channel.OnReceiving(*streams);
            }
        }
        return stops > 0;
    })) << trace.Text();
    EXPECT_EQ(partner, "raw@" + peer.address());
    EXPECT_EQ(receivings, 1);
    EXPECT_TRUE(trace.Contains("SIP: a message from raw@" + peer.address() + "\n"));
}

}  // namespace
}  // namespace velto::skype::sip
