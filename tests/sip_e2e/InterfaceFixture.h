#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SipPeer.h"
#include "backends/sip/SipSkypeFactory.h"
#include "platform/MessageLoop.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

// The automation interface on the SIP backend, driven by hand: a sink that keeps every
// event, and a fixture with the backend's options for an account on loopback.
namespace velto::skype::sip {

class RecordingSink : public EventSink {
  public:
    int32_t SinkId() const override { return 1; }
    void OnEvent(const Event& event) override { events.push_back(event); }

    std::shared_ptr<Call> CallWithStatus(CallStatus status) const {
        for (const auto& event : events) {
            if (event.id == EventId::CallStatus && event.Int(1) == ToInt(status)) {
                return event.Object<Call>(0);
            }
        }
        return nullptr;
    }
    int CallEvents() const {
        int count = 0;
        for (const auto& event : events) {
            count += event.id == EventId::CallStatus ? 1 : 0;
        }
        return count;
    }
    std::optional<int32_t> LastAttachment() const {
        std::optional<int32_t> last;
        for (const auto& event : events) {
            if (event.id == EventId::AttachmentStatus) {
                last = event.Int(0);
            }
        }
        return last;
    }
    std::optional<int32_t> LastOnlineStatus(const std::string& handle) const {
        std::optional<int32_t> last;
        for (const auto& event : events) {
            if (event.id == EventId::OnlineStatus && event.Object<User>(0)->Handle() == handle) {
                last = event.Int(1);
            }
        }
        return last;
    }

    std::vector<Event> events;
};

class SipInterfaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::SipPeer::Available()) {
            GTEST_SKIP() << "baresip is not installed (scripts/setup installs it)";
        }
    }

    SipBackendOptions Options(const std::string& listen, const std::string& proxy = "") {
        SipSettings settings;
        std::string error;
        settings.identity = *ParseSipAddress("sip:velto@127.0.0.1", error);
        settings.identityText = "sip:velto@127.0.0.1";
        settings.listen = *ParseListenAddress(listen, error);
        settings.proxy = proxy;
        return SipBackendOptions{.clock = clock,
                                 .settings = {settings, ""},
                                 .contactsFile = dir / "contacts.vcf",
                                 .dataDir = dir / "sip",
                                 .retryInterval = platform::Millis(300)};
    }
    std::string Listen() const { return "127.0.0.1:" + std::to_string(port); }
    std::string Target() const { return "sip:velto@127.0.0.1:" + std::to_string(port); }
    // Runs the loop until `pred` holds, for at most `limit` of real time.
    bool RunUntil(const std::function<bool()>& pred,
                  platform::Millis limit = platform::Millis(8000)) {
        return loop.RunUntil(pred, limit, platform::Millis(10));
    }
    // A Skype object of the program on `options`, asked to attach, once the attachment has
    // an answer (or the wait's limit has passed).
    std::shared_ptr<Skype> Answered(SipSkypeFactory& factory) {
        auto skype = factory.CreateSkype(loop);
        skype->Advise(sink);
        skype->Attach(kAttachProtocol, false);
        RunUntil([&] { return sink.LastAttachment().has_value(); });
        return skype;
    }
    // A Skype object of the program on `options`, attached.
    std::shared_ptr<Skype> Attached(SipSkypeFactory& factory) {
        auto skype = factory.CreateSkype(loop);
        skype->Advise(sink);
        skype->Attach(kAttachProtocol, false);
        EXPECT_TRUE(RunUntil([&] {
            return sink.LastAttachment() == ToInt(AttachmentStatus::Success);
        })) << trace.Text();
        return skype;
    }

    test::TempDir dir;
    platform::RealClock clock;
    platform::MessageLoop loop{clock};
    platform::TraceCapture trace;
    uint16_t port = test::FreeUdpPort();
    RecordingSink sink;
};

}  // namespace velto::skype::sip
